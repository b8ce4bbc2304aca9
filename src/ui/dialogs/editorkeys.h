#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>

class QAbstractButton;
class QDialog;
class QKeyEvent;
class QWidget;

namespace movilibro {

// The keyboard of the editing dialogs: Enter moves to the next control (and
// presses a button), Esc presses "Annulla", entering a text box selects its
// text, and a control whose leave-check fails keeps the focus. Only the
// cancel button may take the focus from a control that fails its check.
class EditorKeys : public QObject
{
    Q_OBJECT
public:
    // Watches every control `dialog` holds now.
    EditorKeys(QDialog* dialog, QAbstractButton* cancel);

    void setLeaveCheck(QWidget* control, std::function<bool()> check);
    // The leave-check of the control with the focus; true when it has none.
    bool focusedControlPasses() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(QWidget* receiver, QKeyEvent* event);
    void moveToNextControl();
    void onFocusChanged(QWidget* old, QWidget* now);
    bool passes(QWidget* control) const;

    QDialog* m_dialog;
    QPointer<QAbstractButton> m_cancel;
    QHash<QWidget*, std::function<bool()>> m_checks;
    bool m_restoring = false;
};

} // namespace movilibro
