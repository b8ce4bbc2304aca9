#include "ui/dialogs/editorkeys.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace movilibro {

namespace {

// A text box of its own, not the editor inside a date picker or combo.
QLineEdit* textBox(QObject* object)
{
    auto* edit = qobject_cast<QLineEdit*>(object);
    if (!edit)
        return nullptr;
    QWidget* parent = edit->parentWidget();
    if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent))
        return nullptr;
    return edit;
}

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

EditorKeys::EditorKeys(QDialog* dialog, QAbstractButton* cancel)
    : QObject(dialog), m_dialog(dialog), m_cancel(cancel)
{
    const auto controls = dialog->findChildren<QWidget*>();
    for (QWidget* control : controls)
        control->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &EditorKeys::onFocusChanged);
}

void EditorKeys::setLeaveCheck(QWidget* control, std::function<bool()> check)
{
    m_checks.insert(control, std::move(check));
}

bool EditorKeys::passes(QWidget* control) const
{
    const auto it = m_checks.constFind(control);
    return it == m_checks.cend() || (*it)();
}

bool EditorKeys::focusedControlPasses() const
{
    return passes(m_dialog->focusWidget());
}

bool EditorKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        return handleKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        QLineEdit* edit = textBox(watched);
        // A closing pop-up (menu, suggestions) hands the focus back to a box
        // that never left: the user is not entering it.
        if (edit && reason != Qt::PopupFocusReason) {
            edit->selectAll();
            // A click places the cursor after the focus arrives; select again after it.
            if (reason == Qt::MouseFocusReason)
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        }
    }
    return false;
}

bool EditorKeys::handleKey(QWidget* receiver, QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_cancel)
            m_cancel->click();
        return true;
    }
    if (!isEnter(event) || (event->modifiers() & ~Qt::KeypadModifier))
        return false;
    if (auto* button = qobject_cast<QPushButton*>(receiver)) {
        button->click();
        return true;
    }
    moveToNextControl();
    return true;
}

void EditorKeys::moveToNextControl()
{
    // Sent to the dialog, not to the control: a date picker would take a Tab
    // to walk its own day, month and year.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(m_dialog, &tab);
}

void EditorKeys::onFocusChanged(QWidget* old, QWidget* now)
{
    if (m_restoring || !old || !now || !m_checks.contains(old))
        return;
    if (now == m_cancel || !m_dialog->isAncestorOf(now) || !m_dialog->isVisible())
        return;
    if (passes(old))
        return;
    m_restoring = true;
    old->setFocus(Qt::OtherFocusReason);
    m_restoring = false;
}

} // namespace movilibro
