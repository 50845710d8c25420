// The main window: the name box with the list of setting names, the Save, Recall and Delete
// buttons and the readout area that shows where the checker window is. Closing it ends the
// program.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <utility>

#include "BaseWindow.h"
#include "NameBox.h"
#include "SettingCommands.h"

namespace pelmora::ui {

// Position and size in pixels.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    constexpr int Right() const { return left + width; }
    constexpr int Bottom() const { return top + height; }
    friend constexpr bool operator==(const Bounds&, const Bounds&) = default;
};

class MainWindow : public BaseWindow<MainWindow> {
  public:
    static constexpr wchar_t kClassName[] = L"TFormMain";

    // The controls in the order in which they are created; the labels are drawn by the window.
    enum Control { kNameBox, kRecall, kReadout, kSave, kDelete, kControlCount };
    enum Label { kNameLabel, kReadoutLabel, kLabelCount };

    // Sent to the owner (the application window) when the window has come up in the
    // stacking order, so that the windows that stay on top are placed above it again.
    static constexpr UINT kRaisedMessage = WM_APP + 10;

    // The commands save and recall the geometry of `checker` in the settings file that
    // `settingsPath` names.
    MainWindow(ICheckerGeometry& checker, SettingCommands::PathSource settingsPath);
    ~MainWindow();

    // Creates the window, hidden, owned by `owner`; OnCreate runs while it is created (a
    // failure there goes to the failure display and the window stays). Throws
    // pelmora::Exception when the system refuses the window.
    void Create(HWND owner);

    // What the first showing of the window does besides (the shell shows the checker).
    void SetFirstShowAction(std::function<void()> action) { firstShowAction_ = std::move(action); }

    // The checker's geometry into the readout area (the shell has the checker call it).
    void ShowCheckerGeometry();

    HWND ControlHandle(Control control) const noexcept { return controls_[control]; }
    // Where the layout puts a control or label now, in client coordinates.
    Bounds ControlBounds(Control control) const noexcept;
    Bounds LabelBounds(Label label) const noexcept;
    // The line height by which the designed layout was scaled (12: not scaled).
    int LineHeight() const noexcept { return lineHeight_; }
    // The client size below which the scroll bars come up.
    SIZE ContentSize() const noexcept { return content_; }

    NameBoxControl& NameBox() noexcept { return nameBox_; }
    SettingCommands& Commands() noexcept { return commands_; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Window procedure put in front of each control's own: Tab moves the focus, the name box
    // completes. The form is the control's user data: nothing is looked up in the system per
    // message.
    static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept;

  private:
    void CreateFont();
    void CreateControls();
    void OnCreate();
    void OnFirstShow();
    void RunFirstShowOnce();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void NotifyRaised();
    void OnActivate(WPARAM wParam);
    void OnPaint();
    void OnScroll(int bar, int request);
    void UpdateScrollBars();
    void Layout();
    void MoveFocus(HWND from, bool previous);
    void FocusControl(HWND control);
    LRESULT OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void Subclass(HWND control);
    WNDPROC OriginalProc(HWND control) const noexcept;
    LRESULT CallOriginal(HWND control, UINT message, WPARAM wParam, LPARAM lParam) const noexcept;

    NameBoxControl nameBox_;
    ReadoutControl readout_;
    SettingCommands commands_;

    UniqueFont font_;
    int lineHeight_ = 12;
    std::array<HWND, kControlCount> controls_{};  // children: destroyed with the window
    HWND nameEdit_ = nullptr;                     // the name box's edit field
    struct SubclassedControl {
        HWND control = nullptr;
        WNDPROC original = nullptr;  // the control's own procedure
    };
    std::array<SubclassedControl, kControlCount + 1> subclassed_{};  // the controls, nameEdit_
    std::array<Bounds, kControlCount> scaled_{};  // designed bounds after scaling
    std::array<Bounds, kLabelCount> labels_{};    // scaled position, size of the text
    std::array<Bounds, kControlCount> placed_{};  // where Layout put the controls
    std::array<Bounds, kLabelCount> placedLabels_{};
    int label2BottomGap_ = 0;
    SIZE content_{};
    POINT scroll_{};
    bool updatingScrollBars_ = false;
    HWND lastFocus_ = nullptr;
    bool firstShown_ = false;      // OnFirstShow has run: it runs at the first showing only
    bool commandRunning_ = false;  // a button's command has not returned yet
    std::function<void()> firstShowAction_;
};

}  // namespace pelmora::ui
