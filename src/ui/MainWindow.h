// The main window: the name box with the list of setting names, the Save, Recall and Delete
// buttons and the readout area that shows where the checker window is. Closing it ends the
// program.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <utility>

#include "BaseWindow.h"
#include "ControlHooks.h"
#include "MainLayout.h"
#include "NameBox.h"
#include "SettingCommands.h"

namespace pelmora::ui {

class MainWindow : public BaseWindow<MainWindow>, private IControlMessageHandler {
  public:
    static constexpr wchar_t kClassName[] = L"TFormMain";

    using Control = MainControl;
    using enum MainControl;
    using Label = MainLabel;
    using enum MainLabel;

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
    // Called when the window has come up in the stacking order (shown, activated, clicked):
    // the shell places the always-on-top band again.
    void SetRaisedListener(std::function<void()> listener) {
        raisedListener_ = std::move(listener);
    }

    // The checker's geometry into the readout area (the shell has the checker call it).
    void ShowCheckerGeometry();

    HWND ControlHandle(Control control) const noexcept { return controls_[control]; }
    // Where the window has drawn a label, in client coordinates.
    Bounds LabelBounds(Label label) const noexcept { return placedLabels_[label]; }
    // The layout as scaled for the window's font.
    const MainLayout& Layout() const noexcept { return layout_; }

    NameBoxControl& NameBox() noexcept { return nameBox_; }
    SettingCommands& Commands() noexcept { return commands_; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    // Creation, and a change of scale (MainWindowControls.cpp).
    void CreateFont(int pixelsPerInch);
    void CreateControls();
    void FitNameBox();
    void OnScaleChanged(int pixelsPerInch, const RECT& suggested);

    void OnCreate();
    void OnFirstShow();
    void RunFirstShowOnce();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnWindowPosChanging(const WINDOWPOS& change);
    void OnWindowPosChanged(const WINDOWPOS& change);
    void NotifyRaised();
    void OnActivate(WPARAM wParam);
    void OnPaint();
    void MoveFocus(HWND from, bool previous);
    void FocusControl(HWND control);
    // Tab moves the focus, the name box completes, the readout writes what it is to show.
    LRESULT OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Scrolling (MainWindowScrolling.cpp).
    void OnScroll(int bar, int request);
    void UpdateScrollBars();
    void PlaceContent();

    NameBoxControl nameBox_;
    ReadoutControl readout_;
    SettingCommands commands_;

    UniqueFont font_;
    MainLayout layout_;
    std::array<HWND, kMainControlCount> controls_{};    // children: destroyed with the window
    HWND nameEdit_ = nullptr;                           // the name box's edit field
    ControlHooks hooks_{*this, kMainControlCount + 1};  // the controls and the name box's edit
    std::array<Bounds, kMainControlCount> placed_{};    // where the controls were put last
    std::array<Bounds, kMainLabelCount> placedLabels_{};
    Point scroll_{};
    bool updatingScrollBars_ = false;
    HWND lastFocus_ = nullptr;
    bool firstShown_ = false;      // OnFirstShow has run: it runs at the first showing only
    bool commandRunning_ = false;  // a button's command has not returned yet
    std::function<void()> firstShowAction_;
    std::function<void()> raisedListener_;
};

}  // namespace pelmora::ui
