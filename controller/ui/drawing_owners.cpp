#include "controller/ui/drawing_owners.h"

#include "platform/services.h"

namespace osa::detail {

void DeleteDrawingObject(Brush brush) {
    Windows().DeleteBrush(brush);
}

void DeleteDrawingObject(Font font) {
    Windows().DeleteFont(font);
}

} // namespace osa::detail
