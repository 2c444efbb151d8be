// The dialog manager and its controls, headless: modal behaviour, the
// keyboard users know from dialogs, the edit field, the list box and
// templates that cannot be shown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/kernel/resources.h"
#include "platform/testing.h"
#include "platform/user/client_area.h"
#include "platform/user/controls.h"
#include "platform/user/draw.h"
#include "platform/win32.h"
#include "tests/platform/user/template_builder.h"

namespace {

constexpr int kEdit = 1000;
constexpr int kOther = 300;
constexpr int kList = 1002;
constexpr int kKeysDialog = 200;
constexpr int kTruncatedDialog = 201;
constexpr int kUnknownClassDialog = 202;
constexpr int kListDialog = 203;

DialogSpec KeysSpec() {
    DialogSpec d;
    d.cx = 200;
    d.cy = 120;
    d.caption = "Keys";
    d.items = {
        {0x50010001, 0, 10, 90, 50, 14, IDOK, 0x80, "", "OK"},
        {0x50810080, 0, 10, 10, 66, 13, kEdit, 0x81, "", ""},
        {0x50010000, 0, 70, 90, 50, 14, kOther, 0x80, "", "&Other"},
        {0x50020000, 0, 10, 30, 60, 8, -1, 0x82, "", "Just a text"},
        {0x50A10103, 0, 100, 10, 60, 40, kList, 0x83, "", ""},
    };
    return d;
}

DialogSpec NamedSpec() {
    DialogSpec d;
    d.style |= WS_SYSMENU;
    d.caption = "Named";
    d.items = {{0x50010001, 0, 10, 40, 50, 14, IDOK, 0x80, "", "OK"}};
    return d;
}

DialogSpec UnknownClassSpec() {
    DialogSpec d = NamedSpec();
    d.items.push_back({0x50000000, 0, 0, 0, 10, 10, 5, 0x99, "", ""});
    return d;
}

// A list box that cannot show all of its items, with a scroll bar.
DialogSpec ListSpec() {
    DialogSpec d;
    d.extended = true;
    d.caption = "List";
    d.items = {
        {0x50010001, 0, 10, 40, 50, 14, IDOK, 0x80, "", "OK"},
        {0x50A10101, WS_EX_RIGHT, 60, 4, 36, 40, kList, 0x83, "", ""},
    };
    return d;
}

const std::vector<uint8_t> keysBytes = BuildDialog(KeysSpec());
const std::vector<uint8_t> namedBytes = BuildDialog(NamedSpec());
const std::vector<uint8_t> unknownBytes = BuildDialog(UnknownClassSpec());
const std::vector<uint8_t> listBytes = BuildDialog(ListSpec());

}  // namespace

const ResourceEntry resourceTable[] = {
    {5, nullptr, kKeysDialog, nullptr, keysBytes.data(), static_cast<DWORD>(keysBytes.size())},
    {5, nullptr, kTruncatedDialog, nullptr, keysBytes.data(),
     static_cast<DWORD>(keysBytes.size() - 3)},
    {5, nullptr, kUnknownClassDialog, nullptr, unknownBytes.data(),
     static_cast<DWORD>(unknownBytes.size())},
    {5, nullptr, kListDialog, nullptr, listBytes.data(), static_cast<DWORD>(listBytes.size())},
    {5, nullptr, 0, "NAMED", namedBytes.data(), static_cast<DWORD>(namedBytes.size())},
};
const size_t resourceCount = sizeof resourceTable / sizeof resourceTable[0];

namespace {

namespace pt = platform_testing;

// What the dialog procedure saw, and what it is to do.
struct ProcLog {
    int calls = 0;
    int initCalls = 0;
    WPARAM initWParam = 0;
    LPARAM initLParam = 0;
    std::vector<WPARAM> commands;  // wParam of every WM_COMMAND
    INT_PTR initResult = 1;
    int focusOnInit = 0;  // a control id to focus during WM_INITDIALOG
    bool endOnOkOrCancel = true;
    bool nestOnOther = false;
};
ProcLog procLog;

// The commands with notification code 0: button clicks, Enter and Esc.
std::vector<WPARAM> Clicks() {
    std::vector<WPARAM> clicks;
    for (WPARAM w : procLog.commands) {
        if ((w >> 16) == 0) clicks.push_back(w);
    }
    return clicks;
}

INT_PTR CALLBACK TestProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ++procLog.calls;
    if (message == WM_INITDIALOG) {
        ++procLog.initCalls;
        procLog.initWParam = wParam;
        procLog.initLParam = lParam;
        if (procLog.focusOnInit) SetFocus(GetDlgItem(dialog, procLog.focusOnInit));
        return procLog.initResult;
    }
    if (message == WM_COMMAND) {
        procLog.commands.push_back(wParam);
        if (procLog.endOnOkOrCancel && (wParam == IDOK || wParam == IDCANCEL)) {
            EndDialog(dialog, static_cast<INT_PTR>(100 + wParam));
        }
        if (procLog.nestOnOther && wParam == kOther) {
            procLog.nestOnOther = false;
            DialogBoxParamA(nullptr, "NAMED", dialog, TestProc, 0);
        }
    }
    return 0;
}

int ownerPaints = 0;
int ownerFocusGains = 0;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++ownerPaints;
    if (message == WM_SETFOCUS) ++ownerFocusGains;
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<std::function<void()>> steps;
size_t nextStep = 0;

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TUMBLA_HEADLESS", "1", 1);
        if (!DisplayAvailable()) GTEST_SKIP() << "no video host";
        static bool registered = false;
        if (!registered) {
            WNDCLASSA cls{};
            cls.lpfnWndProc = OwnerProc;
            cls.lpszClassName = "DialogTestOwner";
            ASSERT_NE(RegisterClassA(&cls), 0);
            registered = true;
        }
        owner = CreateWindowExA(0, "DialogTestOwner", "Owner", WS_OVERLAPPED | WS_CAPTION, 10, 10,
                                300, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
        ShowWindow(owner, SW_SHOW);
        procLog = ProcLog{};
        ownerPaints = 0;
        ownerFocusGains = 0;
        steps.clear();
        nextStep = 0;
        pt::SetIdleHook([] {
            if (nextStep < steps.size()) {
                steps[nextStep++]();
                return;
            }
            // A test that forgot to end its dialog fails instead of hanging.
            ADD_FAILURE() << "the steps ran out while a dialog waits";
            if (HWND modal = pt::ActiveModalWindow()) EndDialog(modal, -2);
        });
    }
    void TearDown() override {
        pt::SetIdleHook(nullptr);
        if (owner) DestroyWindow(owner);
    }

    INT_PTR Run(LPCSTR name, std::vector<std::function<void()>> script, LPARAM param = 0) {
        steps = std::move(script);
        nextStep = 0;
        const INT_PTR result = DialogBoxParamA(nullptr, name, owner, TestProc, param);
        EXPECT_EQ(nextStep, steps.size()) << "steps left over";
        return result;
    }

    static HWND Dialog() { return pt::ActiveModalWindow(); }
    static HWND Item(int id) { return GetDlgItem(Dialog(), id); }
    static std::string EditText() {
        char buffer[256];
        GetDlgItemTextA(Dialog(), kEdit, buffer, sizeof buffer);
        return buffer;
    }

    HWND owner = nullptr;
};

TEST_F(DialogTest, RunsModallyOverAnOwnerThatStillPaints) {
    HWND seen = nullptr;
    const INT_PTR result =
        Run(MAKEINTRESOURCEA(kKeysDialog),
            {[&] {
                 seen = Dialog();
                 ASSERT_NE(seen, nullptr);
                 EXPECT_EQ(pt::HostTitle(seen), "Keys");
                 EXPECT_TRUE(pt::IsShown(seen));
                 EXPECT_FALSE(IsWindowEnabled(owner));
                 EXPECT_EQ(procLog.initCalls, 1);
                 EXPECT_EQ(procLog.initWParam, reinterpret_cast<WPARAM>(Item(IDOK)));
                 EXPECT_EQ(procLog.initLParam, 42);
                 ownerPaints = 0;
                 pt::Expose(owner);
                 // Input to the disabled owner goes nowhere.
                 pt::ClickClient(owner, 5, 5);
             },
             [&] {
                 EXPECT_GT(ownerPaints, 0);
                 EXPECT_TRUE(Clicks().empty());
                 ownerFocusGains = 0;
                 EXPECT_TRUE(EndDialog(seen, 1234));
             }},
            42);
    EXPECT_EQ(result, 1234);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetFocus(), owner);
    EXPECT_EQ(ownerFocusGains, 1);
    EXPECT_EQ(pt::ActiveModalWindow(), nullptr);
    EXPECT_FALSE(EndDialog(seen, 1)) << "not a dialog any more";
    EXPECT_FALSE(EndDialog(owner, 1)) << "never a dialog";
}

TEST_F(DialogTest, TemplatesThatCannotBeShownGiveMinusOneWithoutTheProcedure) {
    const LPCSTR names[] = {MAKEINTRESOURCEA(kTruncatedDialog),
                            MAKEINTRESOURCEA(kUnknownClassDialog), MAKEINTRESOURCEA(999),
                            "NO_SUCH_DIALOG"};
    for (LPCSTR name : names) {
        EXPECT_EQ(DialogBoxParamA(nullptr, name, owner, TestProc, 0), -1);
        EXPECT_EQ(procLog.calls, 0);
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    EXPECT_EQ(pt::TopLevelWindows().size(), 1u) << "nothing left behind";
}

TEST_F(DialogTest, TabCyclesTheTabStopsInTemplateOrder) {
    std::vector<HWND> focus;
    auto note = [&] { focus.push_back(GetFocus()); };
    HWND ok = nullptr, edit = nullptr, other = nullptr, list = nullptr;
    Run(MAKEINTRESOURCEA(kKeysDialog), {[&] {
                                            ok = Item(IDOK);
                                            edit = Item(kEdit);
                                            other = Item(kOther);
                                            list = Item(kList);
                                            note();
                                            pt::PressKey(VK_TAB);
                                        },
                                        [&] {
                                            note();
                                            pt::PressKey(VK_TAB);
                                        },
                                        [&] {
                                            note();
                                            pt::PressKey(VK_TAB);
                                        },
                                        [&] {
                                            note();
                                            pt::PressKey(VK_TAB);
                                        },
                                        [&] {
                                            note();
                                            pt::PressKey(VK_TAB, pt::kShift);
                                        },
                                        [&] {
                                            note();
                                            pt::PressKey(VK_TAB, pt::kShift);
                                        },
                                        [&] {
                                            note();
                                            pt::PressKey(VK_ESCAPE);
                                        }});
    // The static text is no tab stop and is skipped; Tab wraps to OK.
    const std::vector<HWND> expected = {ok, edit, other, list, ok, list, other};
    EXPECT_EQ(focus, expected);
    EXPECT_EQ(EditText(), "") << "no Tab character typed into the edit";
    // Esc is IDCANCEL although the dialog has no Cancel button.
    EXPECT_EQ(Clicks(), std::vector<WPARAM>{IDCANCEL});
}

TEST_F(DialogTest, EnterSpaceAndClicksSendTheButtonCommands) {
    procLog.endOnOkOrCancel = false;
    const INT_PTR result =
        Run(MAKEINTRESOURCEA(kKeysDialog),
            {[] {
                 SetFocus(Item(kEdit));
                 pt::PressKey(VK_RETURN);  // from the edit: OK, wParam exactly 1
             },
             [] {
                 SetFocus(Item(kOther));
                 pt::PressKey(VK_RETURN);  // a focused push button is what Enter presses
             },
             [] { pt::PressKey(VK_SPACE); },
             [] {
                 // Pressed on OK, released outside it: no click.
                 RECT r;
                 GetClientRect(Item(IDOK), &r);
                 pt::MouseDownClient(Item(IDOK), r.right / 2, r.bottom / 2);
                 pt::MouseMoveClient(Item(IDOK), r.right + 30, r.bottom / 2);
                 pt::MouseUpClient(Item(IDOK), r.right + 30, r.bottom / 2);
             },
             [] {
                 EXPECT_EQ(Clicks().size(), 3u);
                 EXPECT_EQ(GetFocus(), Item(IDOK)) << "a press focuses the button";
                 RECT r;
                 GetClientRect(Item(IDOK), &r);
                 procLog.endOnOkOrCancel = true;
                 pt::ClickClient(Item(IDOK), r.right / 2, r.bottom / 2);
             }});
    const std::vector<WPARAM> expected = {IDOK, kOther, kOther, IDOK};
    EXPECT_EQ(Clicks(), expected);
    EXPECT_EQ(result, 101);
}

TEST_F(DialogTest, FocusChosenByTheProcedureIsKeptWhenItReturnsZero) {
    struct Case {
        INT_PTR initResult;
        int focusOnInit;
        int expected;
    };
    for (const Case& c : {Case{0, kEdit, kEdit}, Case{1, kEdit, IDOK}, Case{0, kOther, kOther}}) {
        procLog = ProcLog{};
        procLog.initResult = c.initResult;
        procLog.focusOnInit = c.focusOnInit;
        HWND focused = nullptr, wanted = nullptr;
        Run(MAKEINTRESOURCEA(kKeysDialog), {[&] {
                focused = GetFocus();
                wanted = Item(c.expected);
                pt::PressKey(VK_ESCAPE);
            }});
        EXPECT_EQ(focused, wanted) << "init returned " << c.initResult;
    }
}

TEST_F(DialogTest, EditTakesTypingAndEditingKeysWithoutALengthLimit) {
    size_t caret = 0;
    int scroll = 0;
    Run(MAKEINTRESOURCEA(kKeysDialog),
        {[] {
             SetFocus(Item(kEdit));
             pt::TypeText("Champion");
         },
         [&] {
             char name[8];
             EXPECT_EQ(GetDlgItemTextA(Dialog(), kEdit, name, sizeof name), 7u);
             EXPECT_STREQ(name, "Champio");
             EXPECT_EQ(EditText(), "Champion");
             pt::PressKey(VK_HOME);
             pt::PressKey(VK_DELETE);
         },
         [&] {
             EXPECT_EQ(EditText(), "hampion");
             pt::PressKey(VK_END);
             pt::PressKey(VK_BACK);
         },
         [&] {
             EXPECT_EQ(EditText(), "hampio");
             pt::PressKey(VK_LEFT);
             pt::PressKey(VK_LEFT);
             pt::PressKey(VK_RIGHT);
             pt::TypeText("X");
         },
         [&] {
             EXPECT_EQ(EditText(), "hampiXo");
             ASSERT_TRUE(user::EditCaret(Item(kEdit), &caret, &scroll));
             EXPECT_EQ(caret, 6u);
             EXPECT_EQ(scroll, 0);
             // A click at the left edge puts the caret before everything.
             pt::ClickClient(Item(kEdit), 1, 5);
         },
         [&] {
             ASSERT_TRUE(user::EditCaret(Item(kEdit), &caret, &scroll));
             EXPECT_EQ(caret, 0u);
             pt::PressKey(VK_END);
             pt::TypeText(" and a name far too long for the field to show at once");
         },
         [&] {
             ASSERT_TRUE(user::EditCaret(Item(kEdit), &caret, &scroll));
             EXPECT_EQ(caret, EditText().size());
             EXPECT_GT(scroll, 0) << "the text scrolled to keep the caret in view";
             pt::PressKey(VK_HOME);
         },
         [&] {
             ASSERT_TRUE(user::EditCaret(Item(kEdit), &caret, &scroll));
             EXPECT_EQ(caret, 0u);
             EXPECT_EQ(scroll, 0);
             EXPECT_EQ(EditText().substr(0, 11), "hampiXo and");
             // Text set from outside replaces everything; the caret goes home.
             EXPECT_TRUE(SetWindowTextA(Item(kEdit), "Ace"));
             EXPECT_EQ(SendMessageA(Item(kEdit), WM_GETTEXTLENGTH, 0, 0), 3);
             ASSERT_TRUE(user::EditCaret(Item(kEdit), &caret, &scroll));
             EXPECT_EQ(caret, 0u);
             EXPECT_EQ(scroll, 0);
             char tiny[1] = {'?'};
             EXPECT_EQ(GetDlgItemTextA(Dialog(), kEdit, tiny, 1), 0u);
             EXPECT_EQ(tiny[0], '\0');
             EXPECT_EQ(GetDlgItemTextA(Dialog(), 4242, tiny, 1), 0u) << "no such control";
             pt::PressKey(VK_ESCAPE);
         }});
}

// The column of the edit's text area where the caret stands before the
// first character, read from the pixels.
bool CaretShown(HWND edit) {
    RECT r;
    GetClientRect(edit, &r);
    uint32_t rgb = 0;
    EXPECT_TRUE(pt::ReadClientPixel(edit, 3, r.bottom / 2, &rgb));
    return rgb == 0x000000;
}

int BlackPixelsInRows(HWND control, int from, int to) {
    RECT r;
    GetClientRect(control, &r);
    int count = 0;
    for (int y = from; y <= to; ++y) {
        for (int x = 6; x < r.right - 6; ++x) {
            uint32_t rgb = 1;
            if (pt::ReadClientPixel(control, x, y, &rgb) && rgb == 0) ++count;
        }
    }
    return count;
}

TEST_F(DialogTest, ControlsLookClassic) {
    Run(MAKEINTRESOURCEA(kKeysDialog),
        {[] {
             uint32_t rgb = 0;
             ASSERT_TRUE(pt::ReadClientPixel(Dialog(), 1, 1, &rgb));
             EXPECT_EQ(rgb, user::kFace);
             // The default button's black frame; a plain one starts white.
             ASSERT_TRUE(pt::ReadClientPixel(Item(IDOK), 0, 0, &rgb));
             EXPECT_EQ(rgb, user::kDarkShadow);
             ASSERT_TRUE(pt::ReadClientPixel(Item(kOther), 0, 0, &rgb));
             EXPECT_EQ(rgb, user::kHighlight);
             // Sunken white field.
             ASSERT_TRUE(pt::ReadClientPixel(Item(kEdit), 0, 0, &rgb));
             EXPECT_EQ(rgb, user::kShadow);
             ASSERT_TRUE(pt::ReadClientPixel(Item(kEdit), 20, 6, &rgb));
             EXPECT_EQ(rgb, user::kHighlight);
             EXPECT_FALSE(CaretShown(Item(kEdit)));
             SetFocus(Item(kEdit));
         },
         [] {
             EXPECT_TRUE(CaretShown(Item(kEdit)));
             pt::PressKey(VK_TAB);
         },
         [] {
             EXPECT_FALSE(CaretShown(Item(kEdit)));
             // The focused button shows the dotted focus rectangle above its text.
             EXPECT_GE(BlackPixelsInRows(Item(kOther), 3, 4), 10);
             EXPECT_EQ(BlackPixelsInRows(Item(IDOK), 3, 4), 0);
             // Held down, a button looks pressed: its bevel turns to shadow.
             pt::MouseDownClient(Item(kOther), 10, 10);
         },
         [] {
             uint32_t rgb = 0;
             ASSERT_TRUE(pt::ReadClientPixel(Item(kOther), 0, 0, &rgb));
             EXPECT_EQ(rgb, user::kShadow);
             pt::MouseUpClient(Item(kOther), -40, 10);
         },
         [] {
             uint32_t rgb = 0;
             ASSERT_TRUE(pt::ReadClientPixel(Item(kOther), 0, 0, &rgb));
             EXPECT_EQ(rgb, user::kHighlight);
             EXPECT_TRUE(Clicks().empty()) << "released outside: no click";
             pt::PressKey(VK_ESCAPE);
         }});
}

TEST_F(DialogTest, InsertStringKeepsItsIndexEvenInASortedList) {
    auto text = [](int index) {
        char buffer[64] = "?";
        SendMessageA(Item(kList), LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer));
        return std::string(buffer);
    };
    auto insert = [](int index, const char* s) {
        return SendMessageA(Item(kList), LB_INSERTSTRING, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(s));
    };
    Run(MAKEINTRESOURCEA(kKeysDialog), {[&] {
            HWND list = Item(kList);
            EXPECT_EQ(insert(0, "pear"), 0);
            EXPECT_EQ(insert(1, "apple"), 1);
            EXPECT_EQ(insert(0, "zucchini"), 0);
            EXPECT_EQ(insert(-1, "banana"), 3);
            EXPECT_EQ(insert(9, "nowhere"), LB_ERR);
            EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 4);
            EXPECT_EQ(text(0), "zucchini");
            EXPECT_EQ(text(1), "pear");
            EXPECT_EQ(text(2), "apple");
            EXPECT_EQ(text(3), "banana");
            EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 1, 0), 4);
            EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 4, 0), LB_ERR);
            EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 4, reinterpret_cast<LPARAM>("")), LB_ERR);
            // LB_ADDSTRING is the one that sorts, without regard to case.
            SendMessageA(list, LB_RESETCONTENT, 0, 0);
            for (const char* s : {"pear", "Apple", "fig", "apple"})
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
            EXPECT_EQ(text(0), "Apple");
            EXPECT_EQ(text(1), "apple");
            EXPECT_EQ(text(2), "fig");
            EXPECT_EQ(text(3), "pear");
            pt::PressKey(VK_ESCAPE);
        }});
}

TEST_F(DialogTest, ListBoxSelectsByClickAndArrowsAndScrolls) {
    procLog.endOnOkOrCancel = true;
    Run(MAKEINTRESOURCEA(kListDialog),
        {[] {
             HWND list = Item(kList);
             for (int i = 0; i < 30; ++i) {
                 const std::string s = std::to_string(i);
                 SendMessageA(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(s.c_str()));
             }
             const int itemHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
             // Border of two pixels, then the rows: the second row.
             pt::ClickClient(list, 5, 2 + itemHeight + itemHeight / 2);
         },
         [] {
             HWND list = Item(kList);
             EXPECT_EQ(GetFocus(), list);
             EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
             pt::PressKey(VK_DOWN);
             pt::PressKey(VK_DOWN);
         },
         [] {
             HWND list = Item(kList);
             EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 3);
             EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
             // The down arrow at the bottom of the scroll bar.
             RECT r;
             GetClientRect(list, &r);
             pt::ClickClient(list, r.right - 8, r.bottom - 8);
         },
         [] {
             HWND list = Item(kList);
             EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);
             pt::PressKey(VK_END);
         },
         [] {
             HWND list = Item(kList);
             EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 29);
             EXPECT_GT(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 20);
             pt::PressKey(VK_RETURN);
         }});
    // LBN_SELCHANGE for the click, two arrows and End, with the id low and
    // the code high; the procedure's comparison with 1 or 2 never matches.
    const WPARAM change = (LBN_SELCHANGE << 16) | kList;
    const WPARAM setFocus = (LBN_SETFOCUS << 16) | kList;
    const WPARAM killFocus = (LBN_KILLFOCUS << 16) | kList;
    const std::vector<WPARAM> expected = {setFocus, change, change,   change,
                                          change,   IDOK,   killFocus};
    EXPECT_EQ(procLog.commands, expected);
}

TEST_F(DialogTest, DialogsNestAndCloseRequestsFollowTheSystemMenu) {
    procLog.nestOnOther = true;
    HWND outer = nullptr;
    Run(MAKEINTRESOURCEA(kKeysDialog), {[&] {
                                            outer = Dialog();
                                            // No system menu: the window manager's close button
                                            // does nothing.
                                            pt::RequestClose(outer);
                                        },
                                        [&] {
                                            EXPECT_TRUE(IsWindow(outer));
                                            EXPECT_TRUE(Clicks().empty());
                                            SetFocus(Item(kOther));
                                            pt::PressKey(VK_SPACE);
                                        },
                                        [&] {
                                            HWND inner = Dialog();
                                            EXPECT_EQ(pt::HostTitle(inner), "Named");
                                            EXPECT_FALSE(IsWindowEnabled(outer));
                                            EXPECT_FALSE(IsWindowEnabled(owner));
                                            // With a system menu, closing is Cancel.
                                            pt::RequestClose(inner);
                                        },
                                        [&] {
                                            EXPECT_EQ(Dialog(), outer);
                                            EXPECT_TRUE(IsWindowEnabled(outer));
                                            EXPECT_FALSE(IsWindowEnabled(owner));
                                            EXPECT_EQ(GetFocus(), Item(kOther))
                                                << "focus back where it was";
                                            pt::PressKey(VK_ESCAPE);
                                        }});
    const std::vector<WPARAM> expected = {kOther, IDCANCEL, IDCANCEL};
    EXPECT_EQ(Clicks(), expected);
}

}  // namespace
