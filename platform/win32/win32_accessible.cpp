#include "platform/win32/win32_accessible.h"

#include "platform/win32/win32_api.h"

#include <oleacc.h>

#include <atomic>

namespace osa::win32 {

namespace {

constexpr wchar_t PressAction[] = L"Press";

// Interface ids by __uuidof: MinGW's oleacc import library exports
// IID_IAccessible as a function thunk, not as the GUID.
//
// A COM object: destroyed by its last Release, never through a pointer to
// the interface, which has no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class SpotsAccessible final : public IAccessible {
  public:
    SpotsAccessible(HWND window, AccessibleSpots spots, IAccessible* standard)
        : window_(window), spots_(std::move(spots)), standard_(standard) {}
    ~SpotsAccessible() {
        if (standard_ != nullptr) standard_->Release();
    }
    SpotsAccessible(const SpotsAccessible&) = delete;
    SpotsAccessible& operator=(const SpotsAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: not offered (clients use the IAccessible methods).
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr) return E_POINTER;
        *parent = nullptr;
        return standard_ != nullptr ? standard_->get_accParent(parent) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (count == nullptr) return E_POINTER;
        *count = static_cast<long>(spots_->size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        // The spots are simple elements: no object of their own.
        return Spot(child) != nullptr ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (name == nullptr) return E_POINTER;
        *name = nullptr;
        if (IsSelf(child))
            return Standard([&](IAccessible* s) { return s->get_accName(child, name); });
        const AccessibleSpot* spot = Spot(child);
        if (spot == nullptr) return E_INVALIDARG;
        *name = SysAllocString(spot->name.c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (value == nullptr) return E_POINTER;
        *value = nullptr;
        if (IsSelf(child))
            return Standard([&](IAccessible* s) { return s->get_accValue(child, value); });
        return Spot(child) != nullptr ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (text == nullptr) return E_POINTER;
        *text = nullptr;
        if (IsSelf(child))
            return Standard([&](IAccessible* s) { return s->get_accDescription(child, text); });
        return Spot(child) != nullptr ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (role == nullptr) return E_POINTER;
        VariantInit(role);
        if (IsSelf(child)) {
            role->vt = VT_I4;
            role->lVal = ROLE_SYSTEM_CLIENT;
            return S_OK;
        }
        if (Spot(child) == nullptr) return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_PUSHBUTTON;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state == nullptr) return E_POINTER;
        VariantInit(state);
        if (IsSelf(child))
            return Standard([&](IAccessible* s) { return s->get_accState(child, state); });
        const AccessibleSpot* spot = Spot(child);
        if (spot == nullptr) return E_INVALIDARG;
        state->vt = VT_I4;
        state->lVal = (spot->pressed ? STATE_SYSTEM_PRESSED : 0) |
                      (spot->enabled ? 0 : STATE_SYSTEM_UNAVAILABLE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        if (help == nullptr) return E_POINTER;
        *help = nullptr;
        return IsSelf(child) || Spot(child) != nullptr ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file != nullptr) *file = nullptr;
        if (topic != nullptr) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        if (keys == nullptr) return E_POINTER;
        *keys = nullptr;
        if (IsSelf(child))
            return Standard(
                [&](IAccessible* s) { return s->get_accKeyboardShortcut(child, keys); });
        return Spot(child) != nullptr ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr) return E_POINTER;
        VariantInit(focus);
        return Standard([&](IAccessible* s) { return s->get_accFocus(focus); });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr) return E_POINTER;
        VariantInit(selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (action == nullptr) return E_POINTER;
        *action = nullptr;
        if (IsSelf(child)) return S_FALSE;
        const AccessibleSpot* spot = Spot(child);
        if (spot == nullptr) return E_INVALIDARG;
        *action = SysAllocString(PressAction);
        return *action != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        if (IsSelf(child))
            return Standard([&](IAccessible* s) { return s->accSelect(flags, child); });
        return Spot(child) != nullptr ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* width, long* height,
                                          VARIANT child) override {
        if (x == nullptr || y == nullptr || width == nullptr || height == nullptr) return E_POINTER;
        if (IsSelf(child))
            return Standard(
                [&](IAccessible* s) { return s->accLocation(x, y, width, height, child); });
        const AccessibleSpot* spot = Spot(child);
        if (spot == nullptr) return E_INVALIDARG;
        POINT corner{spot->rect.left, spot->rect.top};
        ClientToScreen(window_, &corner);
        *x = corner.x;
        *y = corner.y;
        *width = spot->rect.right - spot->rect.left;
        *height = spot->rect.bottom - spot->rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr) return E_POINTER;
        VariantInit(end);
        const long count = static_cast<long>(spots_->size());
        long to = 0;
        if (IsSelf(start)) {
            if (direction == NAVDIR_FIRSTCHILD)
                to = 1;
            else if (direction == NAVDIR_LASTCHILD)
                to = count;
            else
                return Standard(
                    [&](IAccessible* s) { return s->accNavigate(direction, start, end); });
        } else {
            if (Spot(start) == nullptr) return E_INVALIDARG;
            if (direction == NAVDIR_NEXT)
                to = start.lVal + 1;
            else if (direction == NAVDIR_PREVIOUS)
                to = start.lVal - 1;
            else
                return S_FALSE;
        }
        if (to < 1 || to > count) return S_FALSE;
        end->vt = VT_I4;
        end->lVal = to;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (hit == nullptr) return E_POINTER;
        VariantInit(hit);
        POINT p{x, y};
        ScreenToClient(window_, &p);
        for (std::size_t i = 0; i < spots_->size(); ++i) {
            const Rect& r = (*spots_)[i].rect;
            if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
                hit->vt = VT_I4;
                hit->lVal = static_cast<long>(i + 1);
                return S_OK;
            }
        }
        return Standard([&](IAccessible* s) { return s->accHitTest(x, y, hit); });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (IsSelf(child)) return DISP_E_MEMBERNOTFOUND;
        const AccessibleSpot* spot = Spot(child);
        if (spot == nullptr) return E_INVALIDARG;
        if (!spot->enabled) return DISP_E_MEMBERNOTFOUND;
        // A press and release in its middle, as a click would come.
        const int cx = (spot->rect.left + spot->rect.right) / 2;
        const int cy = (spot->rect.top + spot->rect.bottom) / 2;
        const LPARAM at = MAKELPARAM(cx, cy);
        PostMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(window_, WM_LBUTTONUP, 0, at);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    static bool IsSelf(const VARIANT& child) {
        return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }
    // The spot a child id names; nothing for the window itself or an id out
    // of range.
    const AccessibleSpot* Spot(const VARIANT& child) const {
        if (child.vt != VT_I4 || child.lVal < 1) return nullptr;
        const auto index = static_cast<std::size_t>(child.lVal - 1);
        return index < spots_->size() ? &(*spots_)[index] : nullptr;
    }
    template <typename Call> HRESULT Standard(Call call) const {
        return standard_ != nullptr ? call(standard_) : S_FALSE;
    }

    HWND window_;
    AccessibleSpots spots_;
    IAccessible* standard_;
    std::atomic<ULONG> references_{1};
};
#pragma GCC diagnostic pop

} // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, const AccessibleSpots& spots) {
    // LresultFromObject marshals the object through COM: the window's thread
    // joins a single-threaded apartment the first time it is asked (and
    // stays; S_FALSE or RPC_E_CHANGED_MODE when it had one already).
    static thread_local const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)apartment;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard))))
        standard = nullptr;
    // Owned by its references from here: LresultFromObject takes one of its
    // own, and this function's is given back.
    auto* object = new SpotsAccessible(window, spots, standard);
    const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, object);
    object->Release();
    return result < 0 ? 0 : result;
}

} // namespace osa::win32
