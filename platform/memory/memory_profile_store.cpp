#include "platform/memory/memory_profile_store.h"

#include <optional>

#include "platform/profile_text.h"

namespace osa {

void MemoryProfileStore::FailWrite(int n, bool persistent) {
    failAt_ = n > 0 ? writeCount_ + n : 0;
    failPersistent_ = persistent;
}

std::string MemoryProfileStore::UsableText(std::string_view file) const {
    std::optional<std::string> text = files_.FileContents(file);
    if (!text || !profile::IsUsableText(*text)) return {};
    return std::move(*text);
}

std::string MemoryProfileStore::ReadText(std::string_view file, std::string_view section,
                                         std::string_view key, std::string_view defaultText,
                                         std::size_t bufferBytes) {
    return profile::ReadText(UsableText(file), section, key, defaultText, bufferBytes);
}

std::int32_t MemoryProfileStore::ReadInt(std::string_view file, std::string_view section,
                                         std::string_view key, std::int32_t defaultValue) {
    return profile::ReadInt(UsableText(file), section, key, defaultValue);
}

bool MemoryProfileStore::WriteText(std::string_view file, std::string_view section,
                                   std::string_view key, std::string_view value) {
    ++writeCount_;
    Write& record = writes_.emplace_back(Write{std::string(file), std::string(section),
                                               std::string(key), std::string(value), false});
    const bool injected =
        failAt_ != 0 && (writeCount_ == failAt_ || (failPersistent_ && writeCount_ > failAt_));
    if (injected || file.empty() || !profile::IsWritableEntry(section, key, value)) return false;

    const std::optional<std::string> old = files_.FileContents(file);
    if (old && !profile::IsUsableText(*old)) return false; // never rewrite what we cannot read
    const std::string text =
        profile::SetValue(old.value_or(std::string{}), section, key, value, "\n");
    record.ok = files_.WriteFile(file, text);
    return record.ok;
}

} // namespace osa
