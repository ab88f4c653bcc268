// Owners of the brushes and fonts the core makes through the window host:
// each deletes its object (Windows().DeleteBrush / DeleteFont) when it is
// reset or destroyed, so nothing is deleted by hand. Move-only.
#pragma once
#include <utility>

#include "platform/window_host.h"

namespace osa {

namespace detail {
void DeleteDrawingObject(Brush brush);
void DeleteDrawingObject(Font font);
} // namespace detail

template <class Object> class DrawingOwner {
  public:
    DrawingOwner() = default;
    explicit DrawingOwner(Object object) : object_(object) {}
    DrawingOwner(DrawingOwner&& other) noexcept : object_(std::exchange(other.object_, Object{})) {}
    DrawingOwner& operator=(DrawingOwner&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.object_, Object{}));
        return *this;
    }
    DrawingOwner(const DrawingOwner&) = delete;
    DrawingOwner& operator=(const DrawingOwner&) = delete;
    ~DrawingOwner() { Reset(); }

    // Deletes the object held, if any, and holds `object` instead.
    void Reset(Object object = Object{}) {
        const Object old = std::exchange(object_, object);
        if (old) detail::DeleteDrawingObject(old);
    }
    Object Get() const { return object_; }
    explicit operator bool() const { return static_cast<bool>(object_); }

  private:
    Object object_{};
};

using BrushOwner = DrawingOwner<Brush>;
using FontOwner = DrawingOwner<Font>;

} // namespace osa
