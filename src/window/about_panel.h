#pragma once

#include <QPointer>
#include <QWidget>

class QIcon;

namespace verz {

struct FormWidgets;

// The about panel (FraConfig) that lies over the pair buttons: the symbol on
// the skin shows and hides it, OK, a pair choice and "Réduire" hide it, and it
// stays out of the way when the window comes back from the task bar. While it
// shows, the keyboard focus stays inside it; hidden, it gives the focus back.
class AboutPanel {
public:
    explicit AboutPanel(const FormWidgets &widgets) : w_(widgets) {}

    // Shows the panel when hidden and hides it when shown; its OK button takes
    // the window's picture.
    void toggle(const QIcon &okPicture);
    void hide();
    // Hears every change of the window's minimised state.
    void windowMinimised(bool minimised);
    // Tab and Shift+Tab while the panel shows: the next of its controls, round
    // and round. False when the panel is hidden.
    bool moveFocus(bool next);

private:
    const FormWidgets &w_;
    bool wasMinimised_ = false;
    QPointer<QWidget> returnFocus_;
};

}  // namespace verz
