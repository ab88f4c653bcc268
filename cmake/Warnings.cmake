add_library(osa_warnings INTERFACE)
target_compile_options(osa_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Werror -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Wunused -Woverloaded-virtual -Wimplicit-fallthrough)
