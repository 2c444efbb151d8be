#include "platform/user/controls.h"

#include "platform/user/window.h"

namespace user {
namespace {

struct ControlClass {
    uint16_t atom;
    const char* name;
    WNDPROC proc;
};

const ControlClass kClasses[] = {
    {0x80, "Button", ButtonProc},
    {0x81, "Edit", EditProc},
    {0x82, "Static", StaticProc},
    {0x83, "ListBox", ListBoxProc},
};

}  // namespace

bool RegisterControlClasses() {
    static bool registered = false;
    if (registered) return true;
    for (const ControlClass& c : kClasses) {
        WNDCLASSA cls{};
        cls.lpfnWndProc = c.proc;
        cls.lpszClassName = c.name;
        // Someone may have registered the name already: that one stays.
        RegisterClassA(&cls);
    }
    registered = true;
    return true;
}

const char* ControlClassForAtom(uint16_t atom) {
    for (const ControlClass& c : kClasses) {
        if (c.atom == atom) return c.name;
    }
    return nullptr;
}

void NotifyParent(HWND control, UINT code) {
    Window* w = Lookup(control);
    if (!w || !w->parent) return;
    SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(control));
}

RECT ControlFrameRect(HWND control) {
    RECT r{};
    GetClientRect(control, &r);
    POINT origin = ClientOriginInFrame(control);
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

int16_t PointX(LPARAM lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
int16_t PointY(LPARAM lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }

}  // namespace user
