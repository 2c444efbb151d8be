#include "platform/user/dialog.h"

#include <string>

#include "platform/host/host.h"
#include "platform/host/text.h"
#include "platform/user/controls.h"
#include "platform/user/dialog_template.h"
#include "platform/user/draw.h"
#include "platform/user/message.h"
#include "platform/user/modal.h"
#include "platform/user/window.h"
#include "platform/winbase.h"

namespace user {
namespace {

constexpr char kDialogClass[] = "TumblaDialog";

struct Dialog {
    DLGPROC proc;
    bool ended;
    INT_PTR result;
};

HWND capture = nullptr;

Dialog* DialogOf(HWND window);

int Scale(int units, int base, int divisor) {
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor
                                         : -((-product + half) / divisor));
}

bool IsPushButton(HWND window) {
    Window* w = Lookup(window);
    if (!w || w->proc != ButtonProc) return false;
    const DWORD type = w->style & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// The controls Tab visits, in template order.
std::vector<HWND> TabStops(HWND dialog) {
    std::vector<HWND> stops;
    for (const auto& w : Windows()) {
        if (w->parent == dialog && !w->destroying && w->visible && w->enabled &&
            (w->style & WS_TABSTOP)) {
            stops.push_back(w->handle);
        }
    }
    return stops;
}

HWND FirstTabStop(HWND dialog) {
    std::vector<HWND> stops = TabStops(dialog);
    return stops.empty() ? nullptr : stops.front();
}

// The dialog's direct child that holds the focus, if any.
HWND FocusedControl(HWND dialog) {
    for (Window* w = Lookup(GetFocus()); w; w = Lookup(w->parent)) {
        if (w->parent == dialog) return w->handle;
    }
    return nullptr;
}

void MoveFocus(HWND dialog, bool back) {
    std::vector<HWND> stops = TabStops(dialog);
    if (stops.empty()) return;
    const HWND current = FocusedControl(dialog);
    size_t next = back ? stops.size() - 1 : 0;
    for (size_t i = 0; i < stops.size(); ++i) {
        if (stops[i] == current) {
            next = back ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
            break;
        }
    }
    SetFocus(stops[next]);
}

void Command(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Tab, Enter and Esc belong to the dialog, whichever control has the focus;
// true when the message was taken.
bool DialogKey(HWND dialog, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !IsWithin(msg.hwnd, dialog)) return false;
    const unsigned modifiers = KeyModifiers(msg);
    switch (msg.wParam) {
        case VK_TAB:
            if (modifiers & (host::kControl | host::kAlt)) return false;
            MoveFocus(dialog, (modifiers & host::kShift) != 0);
            return true;
        case VK_RETURN: {
            // A focused push button is what Enter presses; otherwise OK.
            const HWND focused = FocusedControl(dialog);
            Command(dialog, IsPushButton(focused) ? Lookup(focused)->id : IDOK);
            return true;
        }
        case VK_ESCAPE:
            Command(dialog, IDCANCEL);
            return true;
        default:
            return false;
    }
}

// Mouse messages meant for a held button reach it wherever the pointer is
// within its top-level window.
void RedirectToCapture(MSG* msg) {
    if (!capture || (msg->message != WM_MOUSEMOVE && msg->message != WM_LBUTTONUP)) return;
    if (msg->hwnd == capture || !Lookup(capture) || TopLevelOf(msg->hwnd) != TopLevelOf(capture)) {
        return;
    }
    const POINT from = ClientOriginInFrame(msg->hwnd);
    const POINT to = ClientOriginInFrame(capture);
    const int x = PointX(msg->lParam) + from.x - to.x;
    const int y = PointY(msg->lParam) + from.y - to.y;
    msg->hwnd = capture;
    msg->lParam = static_cast<LPARAM>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                                      static_cast<uint16_t>(x));
}

void PaintFace(HWND dialog) {
    host::Framebuffer fb{};
    if (!TopFramebuffer(dialog, &fb)) return;
    RECT client{};
    GetClientRect(dialog, &client);
    const POINT origin = ClientOriginInFrame(dialog);
    OffsetRect(&client, origin.x, origin.y);
    FillRect(fb, client, kFace);
    PresentFrame(dialog, client);
}

// What happens to a message the dialog procedure left alone.
LRESULT DefaultDialogHandling(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintFace(dialog);
            return DefWindowProcA(dialog, message, wParam, lParam);
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
            // The dialog itself takes no keys: hand the focus on to a control.
            if (HWND first = FirstTabStop(dialog)) SetFocus(first);
            return 0;
        case WM_SYSCOMMAND: {
            // Without a system menu there is no close box, whatever the
            // window manager draws.
            Window* w = Lookup(dialog);
            if ((wParam & 0xFFF0) == SC_CLOSE && w && !(w->style & WS_SYSMENU)) return 0;
            return DefWindowProcA(dialog, message, wParam, lParam);
        }
        case WM_CLOSE:
            Command(dialog, IDCANCEL);
            return 0;
        default:
            return DefWindowProcA(dialog, message, wParam, lParam);
    }
}

LRESULT CALLBACK DialogWndProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* d = DialogOf(dialog);
    if (!d) return DefWindowProcA(dialog, message, wParam, lParam);
    // The dialog procedure sees every message first; a nonzero answer means
    // it handled the message.
    const INT_PTR handled = d->proc ? d->proc(dialog, message, wParam, lParam) : 0;
    if (handled) return handled;
    if (!Lookup(dialog)) return 0;
    return DefaultDialogHandling(dialog, message, wParam, lParam);
}

Dialog* DialogOf(HWND window) {
    Window* w = Lookup(window);
    if (!w || w->proc != DialogWndProc) return nullptr;
    return static_cast<Dialog*>(w->extra);
}

bool RegisterDialogClass() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSA cls{};
    cls.lpfnWndProc = DialogWndProc;
    cls.lpszClassName = kDialogClass;
    registered = RegisterClassA(&cls) != 0;
    return registered;
}

const unsigned char* TemplateBytes(HINSTANCE instance, LPCSTR name, size_t* size) {
    HRSRC found = FindResourceA(instance, name, RT_DIALOG);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    if (!loaded) return nullptr;
    *size = SizeofResource(instance, found);
    return static_cast<const unsigned char*>(LockResource(loaded));
}

const char* ClassName(const TemplateName& name) {
    if (!name.present) return nullptr;
    if (name.isOrdinal) return ControlClassForAtom(name.ordinal);
    return name.text.c_str();
}

// Creates the controls in template order, which is also the tab order.
bool CreateControls(HWND dialog, HINSTANCE instance, const DialogTemplate& t,
                    const DialogBaseUnits& base) {
    for (const DialogItemTemplate& item : t.items) {
        const char* cls = ClassName(item.windowClass);
        if (!cls) return false;
        const RECT r =
            DialogUnitsToPixels(RECT{item.x, item.y, item.x + item.cx, item.y + item.cy}, base);
        const std::string title =
            item.title.present && !item.title.isOrdinal ? item.title.text : std::string();
        const DWORD style = (item.style | WS_CHILD) & ~static_cast<DWORD>(WS_POPUP);
        HWND control = CreateWindowExA(item.exStyle, cls, title.c_str(), style, r.left, r.top,
                                       r.right - r.left, r.bottom - r.top, dialog,
                                       reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)),
                                       instance, nullptr);
        if (!control) return false;
        Window* w = Lookup(control);
        if (w && w->proc == StaticProc && (item.style & SS_TYPEMASK) == SS_ICON &&
            item.title.present) {
            // The text names the icon resource, or its number does.
            LPCSTR name = item.title.isOrdinal ? MAKEINTRESOURCEA(item.title.ordinal)
                                               : item.title.text.c_str();
            HANDLE icon = LoadImageA(instance, name, IMAGE_ICON, 32, 32, 0);
            if (icon) SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
    }
    return true;
}

}  // namespace

DialogBaseUnits DialogFontUnits() {
    const host::FontMetrics metrics = host::TextMetrics();
    return DialogBaseUnits{metrics.averageWidth, metrics.height};
}

RECT DialogUnitsToPixels(const RECT& units, const DialogBaseUnits& base) {
    return RECT{Scale(units.left, base.averageWidth, 4), Scale(units.top, base.lineHeight, 8),
                Scale(units.right, base.averageWidth, 4), Scale(units.bottom, base.lineHeight, 8)};
}

bool IsDialog(HWND window) { return DialogOf(window) != nullptr; }

void SetDialogCapture(HWND control) { capture = control; }

void ReleaseDialogCapture(HWND control) {
    if (capture == control) capture = nullptr;
}

}  // namespace user

using user::Lookup;

// What the game relies on: the dialog runs modally over `owner` (disabled
// meanwhile, its paint still handled), WM_INITDIALOG reaches the procedure
// before the dialog shows, focus set there is kept when it returns 0, and the
// call returns EndDialog's result once the procedure has ended it. -1 when the
// template is missing or malformed; the procedure is then never called.
INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC dialogProc, LPARAM initParam) {
    size_t size = 0;
    const unsigned char* bytes = user::TemplateBytes(instance, templateName, &size);
    user::DialogTemplate t;
    if (!bytes || !user::ParseDialogTemplate(bytes, size, &t)) return -1;
    // Dialogs of their own class or with a menu bar are not something this
    // layer draws; refuse them rather than show something else.
    if (t.menu.present || t.windowClass.present) return -1;
    if (!host::VideoAvailable() || !user::RegisterDialogClass() ||
        !user::RegisterControlClasses()) {
        return -1;
    }
    if (owner && !IsWindow(owner)) owner = nullptr;

    const user::DialogBaseUnits base = user::DialogFontUnits();
    const RECT frame = user::DialogUnitsToPixels(RECT{t.x, t.y, t.x + t.cx, t.y + t.cy}, base);
    // Without DS_CENTER the position counts from the owner's client area.
    POINT at{frame.left, frame.top};
    if (owner) ClientToScreen(owner, &at);
    const DWORD style = (t.style | WS_POPUP) & ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE);
    const DWORD exStyle = t.exStyle | ((t.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    HWND dialog = CreateWindowExA(exStyle, user::kDialogClass, t.caption.c_str(), style, at.x, at.y,
                                  frame.right - frame.left, frame.bottom - frame.top, owner,
                                  nullptr, instance, nullptr);
    if (!dialog) return -1;
    user::Dialog d{dialogProc, false, 0};
    Lookup(dialog)->extra = &d;
    if (!user::CreateControls(dialog, instance, t, base)) {
        Lookup(dialog)->extra = nullptr;
        DestroyWindow(dialog);
        return -1;
    }

    user::ModalState modal = user::BeginModal(dialog, owner);
    const HWND defaultFocus = user::FirstTabStop(dialog);
    const LRESULT keepDefault =
        SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(defaultFocus), initParam);
    // Zero means the procedure set the focus itself and wants it kept.
    if (keepDefault && defaultFocus && IsWindow(defaultFocus)) SetFocus(defaultFocus);
    if (!d.ended && IsWindow(dialog)) {
        ShowWindow(dialog, SW_SHOW);
        UpdateWindow(dialog);
    }

    bool quit = false;
    WPARAM quitCode = 0;
    while (!d.ended && IsWindow(dialog)) {
        MSG msg;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            // The program is asked to end: leave the dialog and let the
            // outer loop see the request too.
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (user::DialogKey(dialog, msg)) continue;
        user::RedirectToCapture(&msg);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    user::EndModal(modal);
    DestroyWindow(dialog);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return d.ended ? d.result : 0;
}

// Ends the dialog after the message being handled; FALSE for windows that
// are not running dialogs.
BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    user::Dialog* d = user::DialogOf(dialog);
    if (!d) return FALSE;
    d->ended = true;
    d->result = result;
    // Wakes the dialog's loop, which may be waiting for input.
    PostMessageA(dialog, WM_NULL, 0, 0);
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    if (!Lookup(dialog)) return nullptr;
    for (const auto& w : user::Windows()) {
        if (w->parent == dialog && w->id == id && !w->destroying) return w->handle;
    }
    return nullptr;
}

// At most maxCount - 1 characters and a zero, as the name dialog's 8-byte
// buffer relies on; returns the characters copied.
UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int maxCount) {
    if (!text || maxCount <= 0) return 0;
    text[0] = '\0';
    HWND control = GetDlgItem(dialog, id);
    if (!control) return 0;
    return static_cast<UINT>(SendMessageA(control, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                          reinterpret_cast<LPARAM>(text)));
}
