#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/PrintJob.h"
#include "shell/ui/AbortBox.h"
#include "shell/ui/MessagePrompter.h"
#include "shell/ui/SoMsag.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// Message box, print progress box and the print job they share.
class TestSmallDialogs : public QObject {
  Q_OBJECT

  // Runs action on the message box once it is up (modal), then lets it close.
  static void onBox(std::function<void(TSoMsag *)> action) {
    QTimer::singleShot(0, [action] {
      auto *box = qobject_cast<TSoMsag *>(QApplication::activeModalWidget());
      QVERIFY(box);
      action(box);
    });
  }

  static void saveShot(QWidget *w, const QString &name) {
    const QString dir = qEnvironmentVariable("SOVA_SCREENSHOT_DIR");
    if (!dir.isEmpty())
      w->grab().save(dir + u'/' + name + QStringLiteral(".png"));
  }

private slots:
  void typesSetCaptionIconAndButtons_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<bool>("asks");
    QTest::newRow("1") << 1 << "询问信息" << "Image1" << true;
    QTest::newRow("2") << 2 << "注意" << "Image2" << true;
    QTest::newRow("3") << 3 << "重要信息" << "Image3" << true;
    QTest::newRow("4") << 4 << "询问信息" << "Image1" << false;
    QTest::newRow("5") << 5 << "注意" << "Image2" << false;
    QTest::newRow("6") << 6 << "重要信息" << "Image3" << false;
  }
  void typesSetCaptionIconAndButtons() {
    QFETCH(int, type);
    QFETCH(QString, caption);
    QFETCH(QString, icon);
    QFETCH(bool, asks);
    VirtualClock clock;
    TSoMsag box(&clock);
    box.setMessage(type, QStringLiteral("您确定要结束本系统吗?"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.windowTitle(), caption);
    for (const char *name : {"Image1", "Image2", "Image3"})
      QCOMPARE(box.findChild<QLabel *>(QLatin1String(name))->isVisible(), icon == QLatin1String(name));
    QCOMPARE(box.yesButton()->isVisible(), asks);
    QCOMPARE(box.noButton()->isVisible(), asks);
    QCOMPARE(box.okButton()->isVisible(), !asks);
    QCOMPARE(box.yesButton()->text(), QStringLiteral("是"));
    QCOMPARE(box.noButton()->text(), QStringLiteral("否"));
    QCOMPARE(box.okButton()->text(), QStringLiteral("确  定"));
    QPushButton *first = asks ? box.yesButton() : box.okButton();
    QVERIFY(first->hasFocus());
    QVERIFY(first->isDefault());
    auto *text = box.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->toPlainText(), QStringLiteral("您确定要结束本系统吗?"));
    saveShot(&box, QStringLiteral("message_type%1").arg(type));
  }

  void answers_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("result");
    QTest::newRow("type 2 closed with the close button") << 2 << "close" << false;
    QTest::newRow("type 6 answered with 确  定") << 6 << "ok" << true;
    QTest::newRow("type 1 answered 是") << 1 << "yes" << true;
    QTest::newRow("type 1 answered 否") << 1 << "no" << false;
    QTest::newRow("type 5 closed with Escape") << 5 << "escape" << false;
  }
  void answers() {
    QFETCH(int, type);
    QFETCH(QString, how);
    QFETCH(bool, result);
    VirtualClock clock;
    MessagePrompter prompter(nullptr, &clock);
    AppContext ctx(&clock, &prompter);
    const qint64 before = clock.virtualMs();
    onBox([how](TSoMsag *box) {
      if (how == u"close")
        box->close();
      else if (how == u"ok")
        QTest::mouseClick(box->okButton(), Qt::LeftButton);
      else if (how == u"yes")
        QTest::mouseClick(box->yesButton(), Qt::LeftButton);
      else if (how == u"no")
        QTest::mouseClick(box->noButton(), Qt::LeftButton);
      else
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QCOMPARE(ctx.ShowMessageBox(type, QStringLiteral("问题")), result);
    // Closing fades the box out over 300 ms of the program's clock.
    QVERIFY(clock.virtualMs() - before >= 300);
    QVERIFY(!QApplication::activeModalWidget());
  }

  void fadeGoesFromOpaqueToTransparent() {
    VirtualClock clock;
    TSoMsag box(&clock);
    box.setMessage(4, QStringLiteral("x"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QList<double> seen;
    for (int ms = 30; ms < 300; ms += 60)
      clock.callAfter(ms, &box, [&] { seen.append(box.windowOpacity()); });
    QTest::mouseClick(box.okButton(), Qt::LeftButton);
    QVERIFY(box.answer());
    QVERIFY(!box.isVisible());
    QVERIFY(seen.size() >= 4);
    for (int i = 1; i < seen.size(); ++i)
      QVERIFY(seen[i] < seen[i - 1]);
    QVERIFY(seen.first() > 0.8);
    QVERIFY(seen.last() < 0.25);
    QVERIFY(!box.okButton()->isVisible());
  }

  void printProgressBoxFollowsTheJobAndAbortsIt() {
    PrintJob job;
    TAbortBox box(job);
    QCOMPARE(box.windowTitle(), QStringLiteral("打印"));
    QCOMPARE(box.abortButton()->text(), QStringLiteral("打印中断"));
    QVERIFY(box.findChild<QLabel *>(QStringLiteral("Label1"))->text() == QStringLiteral("分析资料打印中...."));

    // A job that runs to its end: shown while it runs, hidden before it ends.
    job.start(QStringLiteral("分析报告"));
    QVERIFY(box.isVisible());
    QVERIFY(!box.isModal());
    saveShot(&box, QStringLiteral("abort_box"));
    job.finish();
    QVERIFY(!box.isVisible());
    QVERIFY(!job.isAborted());

    // A job the user stops: the printer's abort runs once, the box closes, and
    // the painting sees the flag after its current section.
    int printerAborts = 0;
    job.start(QStringLiteral("分析报告"), [&] { ++printerAborts; });
    QStringList painted;
    for (const char *section : {"header", "indices", "charts", "advice"}) {
      if (job.isAborted())
        break;
      painted << QLatin1String(section);
      if (painted.size() == 2)
        QTest::mouseClick(box.abortButton(), Qt::LeftButton);
    }
    QCOMPARE(painted, QStringList({"header", "indices"}));
    QCOMPARE(printerAborts, 1);
    QVERIFY(!box.isVisible());
    job.abort();
    QCOMPARE(printerAborts, 1);
    job.finish();
    QVERIFY(job.isAborted()); // the report code still knows not to end the job

    // The next job starts clean.
    job.start(QStringLiteral("分析报告"));
    QVERIFY(!job.isAborted());
    job.finish();
  }
};

QTEST_MAIN(TestSmallDialogs)
#include "test_small_dialogs.moc"
