#include "face/face_accessible_win.h"

#include <oleacc.h>

#include "face/calendar_text.h"

namespace hv {

namespace {

// Spelled out: MinGW's IID_IAccessible can resolve to an import thunk, which no client matches.
constexpr GUID kIidAccessible{0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, long child) {
    out->vt = VT_I4;
    out->lVal = child;
}

}  // namespace

// The COM object: a list (the face) of list items (the days). Every call comes on the window's
// thread (LresultFromObject marshals it there), so the face is read without locks.
class FaceAccessible final : public IAccessible {
public:
    FaceAccessible(FaceAccessibility* owner, HWND window) : owner_(owner), window_(window) {
        if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&std_))))
            std_ = nullptr;
    }
    FaceAccessible(const FaceAccessible&) = delete;
    FaceAccessible& operator=(const FaceAccessible&) = delete;

    void Disconnect() { owner_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, kIidAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: clients of this object call its methods directly.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!owner_ || !std_) return RPC_E_DISCONNECTED;
        return std_->get_accParent(parent);
    }
    STDMETHODIMP get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        if (!owner_) return RPC_E_DISCONNECTED;
        *count = owner_->DayCount();
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!owner_) return RPC_E_DISCONNECTED;
        // The days are simple elements of this object, not objects of their own.
        return Day(child) > 0 ? S_FALSE : E_INVALIDARG;
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (!owner_) return RPC_E_DISCONNECTED;
        const long day = Day(child);
        if (day < 0) return E_INVALIDARG;
        return ReturnText(day == CHILDID_SELF ? owner_->Name() : owner_->DayName(day), name);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override { return NoText(child, value); }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override { return NoText(child, text); }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* text) override { return NoText(child, text); }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* text) override { return NoText(child, text); }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* text) override { return NoText(child, text); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return S_FALSE;
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        long day = 0;
        if (const HRESULT begun = Begin(child, role, day); begun != S_OK) return begun;
        SetChild(role, day == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM);
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        long day = 0;
        if (const HRESULT begun = Begin(child, state, day); begun != S_OK) return begun;
        const bool focused = GetFocus() == window_;
        long flags = 0;
        if (day == CHILDID_SELF) {
            VARIANT own;
            VariantInit(&own);
            if (std_ && SUCCEEDED(std_->get_accState(child, &own)) && own.vt == VT_I4) flags = own.lVal;
            flags |= STATE_SYSTEM_FOCUSABLE;
        } else {
            flags = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
            if (day == owner_->FocusDay()) flags |= STATE_SYSTEM_SELECTED | (focused ? STATE_SYSTEM_FOCUSED : 0);
            if (!IsWindowVisible(window_)) flags |= STATE_SYSTEM_INVISIBLE;
        }
        SetChild(state, flags);
        return S_OK;
    }
    STDMETHODIMP get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        VariantInit(focus);
        if (!owner_) return RPC_E_DISCONNECTED;
        if (GetFocus() != window_) return S_FALSE;
        SetChild(focus, owner_->FocusDay());
        return S_OK;
    }
    STDMETHODIMP get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        VariantInit(selection);
        if (!owner_) return RPC_E_DISCONNECTED;
        SetChild(selection, owner_->FocusDay());
        return S_OK;
    }
    STDMETHODIMP accSelect(long, VARIANT) override { return owner_ ? E_NOTIMPL : RPC_E_DISCONNECTED; }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        if (!owner_) return RPC_E_DISCONNECTED;
        const long day = Day(child);
        if (day < 0) return E_INVALIDARG;
        if (day == CHILDID_SELF) return std_ ? std_->accLocation(left, top, width, height, child) : S_FALSE;
        RECT rect{};
        if (!owner_->DayRect(window_, day, rect)) return S_FALSE;
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
        long from = 0;
        if (const HRESULT begun = Begin(start, end, from); begun != S_OK) return begun;
        const long count = owner_->DayCount();
        long to = 0;
        if (from == CHILDID_SELF) {
            if (direction == NAVDIR_FIRSTCHILD) to = 1;
            else if (direction == NAVDIR_LASTCHILD) to = count;
            else return std_ ? std_->accNavigate(direction, start, end) : S_FALSE;
        } else {
            // Days sit in weeks of seven: up and down are a week, left and right a day.
            constexpr struct {
                long direction, step;
            } kSteps[] = {{NAVDIR_NEXT, 1}, {NAVDIR_RIGHT, 1}, {NAVDIR_PREVIOUS, -1},
                          {NAVDIR_LEFT, -1}, {NAVDIR_DOWN, 7},  {NAVDIR_UP, -7}};
            for (const auto& step : kSteps)
                if (step.direction == direction) to = from + step.step;
        }
        if (to < 1 || to > count) return S_FALSE;
        SetChild(end, to);
        return S_OK;
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* hit) override {
        if (!hit) return E_POINTER;
        VariantInit(hit);
        if (!owner_) return RPC_E_DISCONNECTED;
        const POINT point{x, y};
        for (int day = 1; day <= owner_->DayCount(); ++day) {
            RECT rect{};
            if (owner_->DayRect(window_, day, rect) && PtInRect(&rect, point)) {
                SetChild(hit, day);
                return S_OK;
            }
        }
        RECT client{};
        GetClientRect(window_, &client);
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
        if (!PtInRect(&client, point)) return S_FALSE;
        SetChild(hit, CHILDID_SELF);
        return S_OK;
    }
    STDMETHODIMP accDoDefaultAction(VARIANT) override { return owner_ ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED; }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~FaceAccessible() {
        if (std_) std_->Release();
    }
    // CHILDID_SELF (0) for the face, 1.. for a day; -1 for what is neither.
    long Day(const VARIANT& child) const {
        if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > owner_->DayCount()) return -1;
        return child.lVal;
    }
    // The start of a question about `child` answered in a VARIANT: `out` emptied, the object
    // still connected and `child` the face or one of its days (`day`). S_OK to go on.
    HRESULT Begin(const VARIANT& child, VARIANT* out, long& day) const {
        if (!out) return E_POINTER;
        VariantInit(out);
        if (!owner_) return RPC_E_DISCONNECTED;
        day = Day(child);
        return day < 0 ? E_INVALIDARG : S_OK;
    }
    HRESULT NoText(const VARIANT& child, BSTR* out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!owner_) return RPC_E_DISCONNECTED;
        return Day(child) < 0 ? E_INVALIDARG : S_FALSE;
    }

    LONG refs_ = 1;
    FaceAccessibility* owner_;
    HWND window_;
    IAccessible* std_ = nullptr;  // the system's object of the client area: parent, frame, state
};

FaceAccessibility::~FaceAccessibility() {
    if (!object_) return;
    object_->Disconnect();
    object_->Release();
}

LRESULT FaceAccessibility::OnGetObject(HWND window, WPARAM wp, LPARAM lp) {
    // The object id arrives sign-extended on 64-bit Windows; it is a 32-bit value.
    if (static_cast<LONG>(lp) != static_cast<LONG>(OBJID_CLIENT)) return 0;
    if (!object_) object_ = new FaceAccessible(this, window);
    const LRESULT result = LresultFromObject(kIidAccessible, wp, object_);
    return result > 0 ? result : 0;
}

void FaceAccessibility::NotifyFocus(HWND window) const {
    if (GetFocus() == window) NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, FocusDay());
}

void FaceAccessibility::NotifyMonthShown(HWND window) const {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_REORDER, window, OBJID_CLIENT, CHILDID_SELF);
}

std::wstring FaceAccessibility::Name() const {
    return Wide(MonthHeading(navigator_.year(), navigator_.month(), HeadingForm::Western));
}

int FaceAccessibility::DayCount() const { return DaysInMonthOf(navigator_.year(), navigator_.month()); }

std::wstring FaceAccessibility::DayName(int day) const {
    return Wide(DescribeDay({navigator_.year(), navigator_.month(), day}, navigator_.today(), settings_.ShowRokuyo,
                            false));
}

bool FaceAccessibility::DayRect(HWND window, int day, RECT& rect) const {
    const FaceLayout& layout = painter_.layout();
    // The layout is the last one drawn: it counts only while it is of the shown month.
    if (day < 1 || layout.days.size() != static_cast<std::size_t>(DayCount())) return false;
    const DayLabel& label = layout.days[static_cast<std::size_t>(day - 1)];
    if (label.column != WeekdayOf({navigator_.year(), navigator_.month(), day})) return false;
    rect = painter_.DayRect(label);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

}  // namespace hv
