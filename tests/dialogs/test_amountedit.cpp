// The amount boxes of the entry editor: key filter, paste, range.
#include "app/prompt.h"
#include "ui/dialogs/amountedit.h"

#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>

using namespace movilibro;

class TestAmountEdit : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::pinItalianLocale(); }

    void filterAmountKey_data();
    void filterAmountKey();
    void fullStopFollowsTheLocale();
    void pastedText_data();
    void pastedText();
    void overflow_data();
    void overflow();

    void typing_data();
    void typing();
    void copyAndPasteKeysTypeNothing();
    void contextMenuPasteIsFiltered_data();
    void contextMenuPasteIsFiltered();
    void tooLargeAmountRefusedWithMessage();
    void tooLargePasteRefused();
    void displayFormatOnLeaving();
};

void TestAmountEdit::filterAmountKey_data()
{
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<QChar>("kept");
    QTest::newRow("digit 0") << QChar(u'0') << QChar(u'0');
    QTest::newRow("digit 9") << QChar(u'9') << QChar(u'9');
    QTest::newRow("comma") << QChar(u',') << QChar(u',');
    QTest::newRow("backspace") << QChar(8) << QChar(8);
    QTest::newRow("tab") << QChar(9) << QChar(9);
    QTest::newRow("full stop becomes comma") << QChar(u'.') << QChar(u',');
    QTest::newRow("minus") << QChar(u'-') << QChar();
    QTest::newRow("plus") << QChar(u'+') << QChar();
    QTest::newRow("blank") << QChar(u' ') << QChar();
    QTest::newRow("letter") << QChar(u'a') << QChar();
    QTest::newRow("euro") << QChar(u'€') << QChar();
    QTest::newRow("ctrl+c") << QChar(3) << QChar();
    QTest::newRow("ctrl+v") << QChar(22) << QChar();
    QTest::newRow("enter") << QChar(13) << QChar();
}

void TestAmountEdit::filterAmountKey()
{
    QFETCH(QChar, typed);
    QFETCH(QChar, kept);
    QCOMPARE(FilterAmountKey(typed), kept);
}

void TestAmountEdit::fullStopFollowsTheLocale()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QChar kept = FilterAmountKey(u'.');
    test::pinItalianLocale();
    QCOMPARE(kept, QChar(u'.'));
}

void TestAmountEdit::pastedText_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::newRow("plain amount") << "12,50"
                                  << "12,50";
    QTest::newRow("grouped amount") << "1.234,50"
                                    << "1234,50";
    QTest::newRow("formatted with blank") << "1.234,50 "
                                          << "1234,50";
    QTest::newRow("negative loses its sign") << "-5"
                                             << "5";
    QTest::newRow("letters dropped") << "12abc3"
                                     << "123";
    QTest::newRow("full stop as decimal") << "3.5x"
                                          << "3,5";
    QTest::newRow("nothing usable") << "abc-"
                                    << "";
}

void TestAmountEdit::pastedText()
{
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QCOMPARE(filterPastedAmount(pasted), kept);
}

void TestAmountEdit::overflow_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("overflows");
    QTest::newRow("small") << "12,50" << false;
    QTest::newRow("largest") << "922337203685477,5807" << false;
    QTest::newRow("one past largest") << "922337203685477,5808" << true;
    QTest::newRow("sixteen digits") << "1234567890123456" << true;
    QTest::newRow("grouped too large") << "9.223.372.036.854.776" << true;
    QTest::newRow("malformed is not overflow") << "12,34,5" << false;
    QTest::newRow("empty") << "" << false;
}

void TestAmountEdit::overflow()
{
    QFETCH(QString, text);
    QFETCH(bool, overflows);
    QCOMPARE(amountOverflows(text), overflows);
}

void TestAmountEdit::typing_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("digits and full stop") << "12.5"
                                          << "12,5";
    QTest::newRow("minus refused") << "-7"
                                   << "7";
    QTest::newRow("letters and blanks refused") << "1 a2b"
                                                << "12";
    QTest::newRow("comma kept") << "0,25"
                                << "0,25";
}

void TestAmountEdit::typing()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    AmountEdit box;
    box.show();
    QTest::keyClicks(&box, keys);
    QCOMPARE(box.text(), text);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.text(), text.chopped(1));
}

void TestAmountEdit::copyAndPasteKeysTypeNothing()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("99"));
    AmountEdit box;
    box.show();
    QTest::keyClicks(&box, QStringLiteral("12"));
    box.selectAll();
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("99"));
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(box.text(), QStringLiteral("12"));
}

void TestAmountEdit::contextMenuPasteIsFiltered_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");
    QTest::newRow("negative") << "-15"
                              << "15";
    QTest::newRow("letters") << "1x2y"
                             << "12";
    QTest::newRow("grouped amount") << "2.000,10"
                                    << "2000,10";
}

void TestAmountEdit::contextMenuPasteIsFiltered()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, text);
    QGuiApplication::clipboard()->setText(clipboard);
    AmountEdit box;
    box.show();
    std::unique_ptr<QMenu> menu(box.createFilteredContextMenu());
    QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
    QVERIFY(paste);
    paste->trigger();
    QCOMPARE(box.text(), text);
}

void TestAmountEdit::tooLargeAmountRefusedWithMessage()
{
    ScopedScriptedPrompt prompt;
    AmountEdit box;
    box.show();
    QTest::keyClicks(&box, QStringLiteral("922337203685477"));
    QVERIFY(prompt.messages.isEmpty());
    QTest::keyClick(&box, Qt::Key_0);
    QCOMPARE(box.text(), QStringLiteral("922337203685477"));
    QCOMPARE(prompt.messages.size(), 1);
    QCOMPARE(prompt.messages[0].text,
             QStringLiteral("L'importo è troppo grande: il massimo consentito è 922.337.203.685.477,58."));
    QCOMPARE(prompt.messages[0].style, MsgStyle::Ok);
}

void TestAmountEdit::tooLargePasteRefused()
{
    ScopedScriptedPrompt prompt;
    QGuiApplication::clipboard()->setText(QStringLiteral("99999999999999999999"));
    AmountEdit box;
    box.show();
    QTest::keyClicks(&box, QStringLiteral("5"));
    box.pasteFiltered();
    QCOMPARE(box.text(), QStringLiteral("5"));
    QCOMPARE(prompt.messages.size(), 1);
}

void TestAmountEdit::displayFormatOnLeaving()
{
    QWidget window;
    auto* box = new AmountEdit(&window);
    auto* other = new QLineEdit(&window);
    box->move(0, 0);
    other->move(0, 40);
    box->setDisplayFormat(QStringLiteral("#,#0.00 ;-#,#0.00 ;0.00 ;0.00 "));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    box->setAmount(std::nullopt);
    QCOMPARE(box->text(), QStringLiteral("0,00 "));
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, QStringLiteral("1234.5"));
    QTest::keyClick(box, Qt::Key_Tab);
    QVERIFY(other->hasFocus());
    QCOMPARE(box->text(), QStringLiteral("1.234,50 "));
    QCOMPARE(box->amount(), Currency::fromRaw(test::money(1234, 50)));
}

QTEST_MAIN(TestAmountEdit)
#include "test_amountedit.moc"
