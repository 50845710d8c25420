// The checker window: an empty, always-on-top tool window that the user drags from anywhere
// inside it, resizes by its frame and nudges with the arrow keys. Its geometry is what the
// setting commands save and recall; every move, resize and showing rewrites the readout.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "BaseWindow.h"
#include "SettingCommands.h"

namespace pelmora::ui {

class CheckerWindow : public BaseWindow<CheckerWindow>, public ICheckerGeometry {
  public:
    static constexpr wchar_t kClassName[] = L"TFormC";

    // Creates the window hidden, owned by `owner`, and puts it in the always-on-top band.
    // Throws pelmora::Exception when the system refuses the window.
    void Create(HWND owner);

    // Runs OnShow, makes the window visible, brings it to the top of its band and activates
    // it.
    void Show();

    // Called after each change of place or size and at each showing by Show, from the first
    // showing on (the shell has the main window's readout follow).
    void SetGeometryListener(std::function<void()> listener) {
        geometryListener_ = std::move(listener);
    }

    // The outer rectangle in screen pixels. Each set is synchronous, keeps the stacking order,
    // does not activate, and does nothing when the value is already there.
    CheckerGeometry Geometry() const override;
    void SetLeft(std::int32_t left) override;
    void SetTop(std::int32_t top) override;
    void SetWidth(std::int32_t width) override;
    void SetHeight(std::int32_t height) override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void OnShow();
    void OnResize();
    void OnMoved();
    void OnKeyDown(WPARAM key);
    void OnMouseMove(WPARAM buttons, LPARAM position);
    void OnCaptureChanged(HWND capture);
    void OnScaleChanged(const RECT& suggested);
    void ReportGeometry();
    void SetField(std::int32_t CheckerGeometry::*field, std::int32_t value);
    void ApplyBounds(const CheckerGeometry& bounds);

    bool firstShowingDone_ = false;
    bool pressed_ = false;  // the left button went down inside the window, capture held since
    POINT pressPoint_{};    // where, in screen coordinates
    std::function<void()> geometryListener_;
};

}  // namespace pelmora::ui
