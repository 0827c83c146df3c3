#include "editor/rtfreader.h"
#include "editor/rtfwriter.h"

#include <QTest>
#include <QTextDocument>

class TestRtf : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placeholder() { QTextDocument d; QVERIFY(RtfReader::read("{\\rtf1 Hi}", &d) == RtfReader::Status::Ok); QCOMPARE(d.toPlainText(), QStringLiteral("Hi")); }
};

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
