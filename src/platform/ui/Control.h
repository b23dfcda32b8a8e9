// The controls of the dialog surface. Each control has a numeric ID, a kind, style bits, an
// enabled and a visible state and a window text, and behaves as the platform's control of the
// same kind does towards the program: what it stores, what it returns, and which
// notifications a program call sends (most send none). User input enters through the
// surface's input calls, which also send what a user's action would.
#pragma once

#include "platform/ui/ControlConstants.h"
#include "platform/ui/WindowText.h"
#include "platform/wintypes.h"

#include <string>
#include <string_view>

namespace nv::platform {

enum class ControlKind { Label, Edit, CheckBox, ComboBox, UpDown, PushButton, StaticIcon };

// What changed in a control (or, for Title, Ended, Icon and Menu with the dialog's ID, in the
// dialog itself); reported to the
// surface's observer so that a view can mirror the state.
enum class Change {
    Text,
    Check,
    Items,
    Selection,
    Enabled,
    Visible,
    Icon,
    Spin,
    Title,
    Ended,
    Menu
};

class Control;

// What a control needs from the surface that owns it.
class ControlHost {
public:
    // Reports a state change to the observer.
    virtual void Changed(int id, Change what) = 0;
    // Sends notification CODE from control ID to the notification sink, synchronously.
    virtual void Notify(int id, int code) = 0;
    // The control with ID, or null.
    virtual Control* Find(int id) = 0;

protected:
    ~ControlHost() = default;
};

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    int GetDlgCtrlID() const { return id_; }
    ControlKind kind() const { return kind_; }
    DWORD GetStyle() const { return style_; }

    // EnableWindow: returns TRUE when the control was disabled before the call.
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const { return enabled_ ? TRUE : FALSE; }
    // ShowWindow: returns TRUE when the control was visible before the call.
    BOOL ShowWindow(BOOL show);
    BOOL IsWindowVisible() const { return visible_ ? TRUE : FALSE; }

    // SetWindowTextA: the text up to its first NUL becomes the control's text. Returns TRUE;
    // kinds that refuse a text say so below. A null TEXT sets the empty text.
    BOOL SetWindowTextA(const char* text) { return SetText(WindowTextOf(text)); }
    BOOL SetWindowTextA(const CString& text) { return SetText(text); }
    // The whole window text.
    virtual CString GetWindowText() const { return text_; }
    // GetWindowTextA: the text copied into BUFFER of BUFFERMAX bytes, cut without splitting a
    // character and NUL-terminated; returns the bytes copied.
    int GetWindowTextA(char* buffer, int bufferMax) const;
    // The text's length in bytes.
    int GetWindowTextLength() const { return static_cast<int>(GetWindowText().size()); }

    // Entry point of the program's text writes; TEXT is already cut at its first NUL.
    virtual BOOL SetText(std::string_view text);
    // Whether user input reaches the control at all.
    bool AcceptsInput() const { return enabled_ && visible_; }

protected:
    Control(ControlHost& host, int id, ControlKind kind, DWORD style)
        : host_(host), id_(id), kind_(kind), style_(style) {}

    void changed(Change what) { host_.Changed(id_, what); }
    void notify(int code) { host_.Notify(id_, code); }

    ControlHost& host_;
    std::string text_;

private:
    const int id_;
    const ControlKind kind_;
    const DWORD style_;
    bool enabled_ = true;
    bool visible_ = true;
};

// A static text: a label or a text the program writes (a port name, a version).
class Label : public Control {
public:
    Label(ControlHost& host, int id) : Control(host, id, ControlKind::Label, 0) {}
};

class PushButton : public Control {
public:
    PushButton(ControlHost& host, int id) : Control(host, id, ControlKind::PushButton, 0) {}
    // A user's click: BN_CLICKED.
    void UserClick() { notify(BN_CLICKED); }
};

// A static control that shows an icon.
class StaticIcon : public Control {
public:
    StaticIcon(ControlHost& host, int id) : Control(host, id, ControlKind::StaticIcon, 0) {}
    // STM_SETICON: shows ICON (0 shows none); returns the icon shown before.
    IconHandle SetIcon(IconHandle icon);
    IconHandle GetIcon() const { return icon_; }

private:
    IconHandle icon_ = 0;
};

// A two-state check box. The program's SetCheck never notifies; a user's click toggles an
// automatic box and then sends BN_CLICKED.
class CheckBox : public Control {
public:
    CheckBox(ControlHost& host, int id, DWORD style)
        : Control(host, id, ControlKind::CheckBox, style) {}
    // BM_SETCHECK: any state above BST_CHECKED is taken as BST_CHECKED, as a two-state box
    // does. No notification.
    void SetCheck(UINT check);
    // BM_GETCHECK.
    UINT GetCheck() const { return check_; }
    void UserClick();

private:
    UINT check_ = BST_UNCHECKED;
};

// A single-line edit. Every write of its text, by the program or by the user, sends EN_UPDATE
// and then EN_CHANGE before the write returns, even when the text stays the same. ES_NUMBER
// filters typing only; the program's writes are stored as given.
class Edit : public Control {
public:
    // The platform's documented default limit of what a user can type.
    static constexpr int kDefaultLimit = 32767;

    Edit(ControlHost& host, int id, DWORD style) : Control(host, id, ControlKind::Edit, style) {}
    BOOL SetText(std::string_view text) override;
    // EM_LIMITTEXT: at most LIMIT characters can be typed; 0 restores the default. The
    // program's writes are not cut.
    void SetLimitText(int limit) { limit_ = limit > 0 ? limit : kDefaultLimit; }
    int GetLimitText() const { return limit_; }
    bool IsNumber() const { return (GetStyle() & ES_NUMBER) != 0; }
    bool IsPassword() const { return (GetStyle() & ES_PASSWORD) != 0; }
    bool IsReadOnly() const { return (GetStyle() & ES_READONLY) != 0; }
    // A user replacing the whole text with TEXT: non-digits are dropped from a number edit,
    // the text is cut to the limit, then stored with EN_UPDATE and EN_CHANGE. Returns false
    // (and changes nothing) on a read-only edit.
    bool UserType(std::string_view text);

private:
    int limit_ = kDefaultLimit;
};

} // namespace nv::platform
