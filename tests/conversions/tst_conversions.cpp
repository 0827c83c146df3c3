#include "conversions/kitchenconversions.h"
#include "conversions/ui/conversionswindow.h"
#include "tests/support/scriptedprompt.h"

#include <QLineEdit>
#include <QAbstractButton>
#include <QTest>

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale German(QLocale::German, QLocale::Germany);
// Groups with a no-break space and has a minus sign of its own (U+2212).
const QLocale Swedish(QLocale::Swedish, QLocale::Sweden);

QString convert(const char *box, const QString &text, const QLocale &locale)
{
    const KitchenConversions::Direction *direction = KitchenConversions::directionFrom(QLatin1String(box));
    if (!direction)
        qFatal("no box %s", box);
    return KitchenConversions::convert(*direction, text, locale);
}

} // namespace

class ConversionsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void conversions_data();
    void conversions();
    void roundingAndFormat_data();
    void roundingAndFormat();
    void parsing_data();
    void parsing();
    void resultsReadBack();
    void windowConvertsOnEnterAndClearsPartners();
    void clearAllAsksFirst();
};

void ConversionsTest::conversions_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    QTest::newRow("empty cups") << "edtCups" << "" << "0.00" << "0,00";
    QTest::newRow("empty millilitres to pints") << "edtMM5" << "" << "0.00000" << "0,00000";
    QTest::newRow("empty grams to pounds") << "edtGrams2" << "" << "0.0000" << "0,0000";
    QTest::newRow("4 cups") << "edtCups" << "4" << "1,000.00" << "1.000,00";
    QTest::newRow("2.5 cups") << "edtCups" << "2.5" << "625.00" << "625,00";
    QTest::newRow("7 ml in teaspoons") << "edtMM2" << "7" << "1.40" << "1,40";
    QTest::newRow("20 ml in tablespoons") << "edtMM4" << "20" << "1.33" << "1,33";
    QTest::newRow("10 grams in ounces") << "edtGrams" << "10" << "0.36" << "0,36";
    QTest::newRow("3 ounces in grams") << "edtOunces" << "3" << "84.00" << "84,00";
    QTest::newRow("454 grams in pounds") << "edtGrams2" << "454" << "0.9988" << "0,9988";
    QTest::newRow("1 pound in grams") << "edtPounds" << "1" << "454.55" << "454,55";
    QTest::newRow("100 ml in pints") << "edtMM5" << "100" << "0.17500" << "0,17500";
    QTest::newRow("1 pint in ml") << "edtPints" << "1" << "571.43" << "571,43";
    QTest::newRow("100 ml in fluid ounces") << "edtMM6" << "100" << "3.00" << "3,00";
    QTest::newRow("3.00 fluid ounces back") << "edtFloz" << "3.00" << "90.00" << "90,00";
    QTest::newRow("1 fluid ounce") << "edtFloz" << "1" << "30.00" << "30,00";
    QTest::newRow("10 cm") << "edtCentimetre" << "10" << "4.00" << "4,00";
    QTest::newRow("4 dm") << "edtDesimetre" << "4" << "10.00" << "10,00";
    QTest::newRow("-2 cups") << "edtCups" << "-2" << "-500.00" << "-500,00";
    QTest::newRow("1 ml in cups") << "edtMM1" << "1" << "0.00" << "0,00";
    QTest::newRow("a million cups") << "edtCups" << "1e6" << "250,000,000.00" << "250.000.000,00";
}

void ConversionsTest::conversions()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, english);
    QFETCH(QString, german);
    QCOMPARE(convert(qPrintable(box), text, English), english);
    QCOMPARE(convert(qPrintable(box), text, German), german);
}

void ConversionsTest::roundingAndFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("shown");
    QTest::newRow("half away from zero") << 0.125 << 2 << English << "0.13";
    QTest::newRow("negative half away from zero") << -0.125 << 2 << English << "-0.13";
    QTest::newRow("carry into a new digit") << 999.995 << 2 << English << "1,000.00";
    QTest::newRow("tiny negative shows zero") << -0.001 << 2 << English << "0.00";
    QTest::newRow("smallest place rounds up") << 0.005 << 2 << English << "0.01";
    QTest::newRow("far below the last place") << 1e-9 << 5 << English << "0.00000";
    QTest::newRow("grouping in threes") << 1234567.891 << 2 << English << "1,234,567.89";
    QTest::newRow("no grouping below a thousand") << 999.0 << 4 << English << "999.0000";
    QTest::newRow("swedish separators, hyphen for minus") << -1234.5 << 2 << Swedish << QString::fromUtf8("-1\u00a0234,50");
}

void ConversionsTest::roundingAndFormat()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QLocale, locale);
    QFETCH(QString, shown);
    QCOMPARE(KitchenConversions::format(value, decimals, locale), shown);
}

void ConversionsTest::parsing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("english");
    QTest::addColumn<double>("german");
    QTest::newRow("point whatever the locale") << "2.5" << 2.5 << 2.5;
    QTest::newRow("leading blanks and sign") << "  +3" << 3.0 << 3.0;
    QTest::newRow("exponent") << "1.5E2" << 150.0 << 150.0;
    QTest::newRow("bare fraction") << ".5" << 0.5 << 0.5;
    QTest::newRow("grouped result") << "1,000.00" << 1000.0 << 1.0;
    QTest::newRow("german result") << "1.000,00" << 1.0 << 1000.0;
    QTest::newRow("decimal comma") << "2,5" << 2.0 << 2.5;   // no valid grouping in English: the number before it
    QTest::newRow("trailing blank") << "12 " << 12.0 << 12.0;
    QTest::newRow("trailing letters") << "12abc" << 12.0 << 12.0;
    QTest::newRow("no number") << "abc" << 0.0 << 0.0;
    QTest::newRow("blanks only") << "   " << 0.0 << 0.0;
    QTest::newRow("two points") << "1.2.3" << 1.2 << 1.2;
}

void ConversionsTest::parsing()
{
    QFETCH(QString, text);
    QFETCH(double, english);
    QFETCH(double, german);
    QCOMPARE(KitchenConversions::parse(text, English), english);
    QCOMPARE(KitchenConversions::parse(text, German), german);
}

void ConversionsTest::resultsReadBack()
{
    // A result of a thousand or more, converted back, gives its true value in either locale.
    for (const QLocale &locale : {English, German, Swedish}) {
        const QString millilitres = convert("edtCups", QStringLiteral("4"), locale);
        QCOMPARE(convert("edtMM1", millilitres, locale), convert("edtMM1", QStringLiteral("1000"), locale));
        const QString negative = convert("edtCups", QStringLiteral("-4"), locale);
        QCOMPARE(convert("edtMM1", negative, locale), convert("edtMM1", QStringLiteral("-1000"), locale));
    }
}

void ConversionsTest::windowConvertsOnEnterAndClearsPartners()
{
    QLocale::setDefault(English);
    ConversionsWindow window;
    window.show();
    QLineEdit *cups = window.box(QStringLiteral("edtCups"));
    QLineEdit *millilitres = window.box(QStringLiteral("edtMM1"));
    QTest::keyClicks(cups, QStringLiteral("4"));
    QVERIFY(millilitres->text().isEmpty());   // typing alone never converts
    QTest::keyClick(cups, Qt::Key_Return);
    QCOMPARE(millilitres->text(), QStringLiteral("1,000.00"));
    QCOMPARE(cups->text(), QStringLiteral("4"));
    QVERIFY(window.isVisible());   // Enter converts, it does not close the window
    // Keys that type nothing keep the result: Tab on to it and back, an Alt combination; Escape
    // does not close the window either (it has no Cancel button).
    QTest::keyClick(cups, Qt::Key_Tab);
    QTest::keyClick(millilitres, Qt::Key_Backtab);
    QTest::keyClick(cups, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(millilitres->text(), QStringLiteral("1,000.00"));
    QTest::keyClick(millilitres, Qt::Key_Escape);
    QVERIFY(window.isVisible());

    // Converted back, the grouped result reads as its value.
    QTest::keyClick(millilitres, Qt::Key_Return);
    QCOMPARE(cups->text(), QStringLiteral("4.00"));
    // Typing a character clears the partner; Delete does not.
    QTest::keyClick(cups, Qt::Key_End);
    QTest::keyClick(cups, Qt::Key_Delete);
    QCOMPARE(millilitres->text(), QStringLiteral("1,000.00"));
    QTest::keyClick(cups, Qt::Key_Backspace);
    QVERIFY(millilitres->text().isEmpty());

    // The first weight row clears the ounces box and leaves its own partner.
    QLineEdit *grams2 = window.box(QStringLiteral("edtGrams2"));
    QLineEdit *pounds = window.box(QStringLiteral("edtPounds"));
    QLineEdit *grams = window.box(QStringLiteral("edtGrams"));
    QLineEdit *ounces = window.box(QStringLiteral("edtOunces"));
    QTest::keyClicks(grams, QStringLiteral("10"));
    QTest::keyClick(grams, Qt::Key_Return);
    QCOMPARE(ounces->text(), QStringLiteral("0.36"));
    grams2->setText(QStringLiteral("454"));
    QTest::keyClicks(pounds, QStringLiteral("1"));
    QVERIFY(ounces->text().isEmpty());
    QCOMPARE(grams2->text(), QStringLiteral("454"));
    QTest::keyClick(pounds, Qt::Key_Return);
    QCOMPARE(grams2->text(), QStringLiteral("454.55"));

    // Hiding keeps every box.
    window.findChild<QAbstractButton *>(QStringLiteral("bmtClose"))->click();
    QVERIFY(!window.isVisible());
    window.show();
    QCOMPARE(cups->text(), QStringLiteral("4.0"));
    QLocale::setDefault(QLocale::c());
}

void ConversionsTest::clearAllAsksFirst()
{
    ScriptedPrompt prompt;
    ScriptedPrompt::Scope scope(prompt);
    ConversionsWindow window;
    window.box(QStringLiteral("edtCups"))->setText(QStringLiteral("1"));
    window.box(QStringLiteral("edtFloz"))->setText(QStringLiteral("2"));
    prompt.answer(Prompt::Answer::No);
    window.findChild<QAbstractButton *>(QStringLiteral("btnClearAll"))->click();
    QCOMPARE(window.box(QStringLiteral("edtCups"))->text(), QStringLiteral("1"));
    prompt.answer(Prompt::Answer::Yes);
    window.findChild<QAbstractButton *>(QStringLiteral("btnClearAll"))->click();
    QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Confirm),
             (QStringList{QStringLiteral("Clear all values?"), QStringLiteral("Clear all values?")}));
    const QList<QLineEdit *> boxes = window.findChildren<QLineEdit *>();
    QCOMPARE(boxes.size(), 18);
    for (QLineEdit *box : boxes)
        QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
}

QTEST_MAIN(ConversionsTest)
#include "tst_conversions.moc"
