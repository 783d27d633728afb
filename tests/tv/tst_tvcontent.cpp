#include "competition/Competition.h"
#include "mock/TimingWindowFixture.h"
#include "timing/widgets/SegmentDigit.h"
#include "timing/widgets/TimePanel.h"
#include "tv/widgets/Label3D.h"
#include "tv/widgets/Top3CellDelegate.h"
#include "tv/widgets/TvBestTeamWindow.h"
#include "tv/widgets/TvTimeWindow.h"
#include "tv/widgets/TvTop3Window.h"
#include "tv/widgets/TvVideoWindow.h"
#include "tv/widgets/TvWindow.h"
#include "tv/widgets/TvWindows.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainWindow.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

// What the audience windows show: the pushed texts, the running time, the top three, the best
// team and the logo, whether a window is visible or not.
class TstTvContent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void video_data();
    void video();
    void timeDigitsFollowTheDisplay();
    void zeitTexts();
    void top3Lines();
    void bestTeam_data();
    void bestTeam();
    void longTextsFit_data();
    void longTextsFit();
    void top3NamesFit();
    void logo_data();
    void logo();
    void labelRepaintsOnlyOnChange_data();
    void labelRepaintsOnlyOnChange();

private:
    std::unique_ptr<TimingWindowFixture> m_fx;
    TvWindows* m_tv = nullptr;
};

using Setter = std::function<void(Label3D&)>;
Q_DECLARE_METATYPE(Setter)

void TstTvContent::init() {
    m_fx = std::make_unique<TimingWindowFixture>();
    m_fx->addCompetitors(3);
    m_tv = m_fx->window().createTvWindows();
}

void TstTvContent::cleanup() {
    m_fx.reset();
    m_tv = nullptr;
}

void TstTvContent::video_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("split");
    QTest::addColumn<QString>("current");
    // The first start counts down: no run time yet.
    QTest::newRow("before the run") << "Cup" << QStringList{} << "  "
                                    << ""
                                    << ""
                                    << "";
    QTest::newRow("running") << "Cup" << QStringList{"F5", "+2500"} << " 11 Name1 Vorname1 "
                             << ""
                             << ""
                             << "250";
    QTest::newRow("after the split")
        << "Cup" << QStringList{"F5", "+1234", "F6", "+500"} << " 11 Name1 Vorname1 "
        << "Zwischenzeit:"
        << "123"
        << "173";
    // The reset shows the countdown above, which is no run time: the next competitor stands
    // without the time of the run before.
    QTest::newRow("reset clears the split and the time")
        << "Cup" << QStringList{"F5", "+1234", "F6", "+500", "F8", "F10"} << " 11 Name1 Vorname1 "
        << ""
        << ""
        << "";
    QTest::newRow("stopped run keeps its time")
        << "Cup" << QStringList{"F5", "+1234", "F8"} << " 11 Name1 Vorname1 "
        << ""
        << ""
        << "123";
    QTest::newRow("not finished shows the state")
        << "Cup" << QStringList{"F5", "+2500", "F7"} << " 11 Name1 Vorname1 "
        << ""
        << ""
        << "DNF";
    QTest::newRow("the next countdown clears the state")
        << "Cup" << QStringList{"F5", "+2500", "F7", "+100", "F4", "+100"} << " 11 Name1 Vorname1 "
        << ""
        << ""
        << "";
    QTest::newRow("empty title") << "" << QStringList{"F5", "+100"} << " 11 Name1 Vorname1 "
                                 << ""
                                 << ""
                                 << "10";
}

void TstTvContent::video() {
    QFETCH(QString, title);
    QFETCH(QStringList, steps);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, split);
    QFETCH(QString, current);
    m_fx->window().header()->titleEdit->setText(title);
    m_fx->window().updateTvWindows();
    QVERIFY(m_fx->run(steps));
    TvVideoWindow* v = m_tv->video();
    QCOMPARE(v->LabelTitle()->caption(), title);
    QCOMPARE(v->LabelTitle()->isVisibleTo(v), !title.isEmpty());
    QCOMPARE(v->currentName()->text(), name.trimmed().isEmpty() ? QStringLiteral("  ") : name);
    QCOMPARE(v->bestName()->text(), caption);
    QCOMPARE(v->bestTime()->text(), split);
    QCOMPARE(v->bestName()->isVisibleTo(v), !caption.isEmpty());
    QCOMPARE(v->bestTime()->isVisibleTo(v), !split.isEmpty());
    QCOMPARE(v->currentTime()->text(), current);
    QVERIFY(!v->isVisible());
}

void TstTvContent::timeDigitsFollowTheDisplay() {
    QVERIFY(m_fx->run({"F5", "+1234", "F6", "+11111"}));
    TimePanel* panel = m_fx->window().timingView().timePanel();
    for (DisplayRow row : {DisplayRow::Upper, DisplayRow::Lower})
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(m_tv->time()->digit(row, i)->value(), panel->digit(row, i)->value());
            QCOMPARE(m_tv->time()->digit(row, i)->colorOn(), panel->digit(row, i)->colorOn());
        }
    QCOMPARE(m_tv->time()->digit(DisplayRow::Upper, 2)->value(), 2);
    QCOMPARE(m_tv->time()->comma(DisplayRow::Lower)->palette().color(QPalette::WindowText),
             panel->comma(DisplayRow::Lower)->palette().color(QPalette::WindowText));
}

void TstTvContent::zeitTexts() {
    m_fx->window().header()->titleEdit->setText(QStringLiteral("Finale"));
    QVERIFY(m_fx->run({"F5"}));
    TvTimeWindow* z = m_tv->time();
    QCOMPARE(z->LabelTitle()->caption(), QStringLiteral("Finale"));
    QCOMPARE(z->currentName()->text(), m_fx->window().session().currentCompetitor());
    QCOMPARE(z->bestLabel()->text(), m_fx->window().session().currentClub());
    QCOMPARE(z->bestLabel()->text(), QStringLiteral("Verein1"));
}

void TstTvContent::top3Lines() {
    CompetitionTable& results = m_fx->window().session().competition().finalResults();
    results.setRowsWithHeader(4);
    results.setRowCells(1, {"1", "7", "Ax", "Bo", "C", "1", "+", "", "", "", "40,00"});
    results.setRowCells(2, {"2", "8", "Dy", "Ed", "C", "1", "", "", "", "", "41,00"});
    results.setRowCells(3, {"1", "9", "Fu", "Gi", "C", "2", "", "", "", "", "39,00"});
    m_fx->window().updateTvWindows();
    TvTop3Window* t = m_tv->top3();
    const QStringList first{"1.", "7", " Ax Bo", "1", "+", "40,00 "};
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(t->cellText(0, c), first[c]);
        QCOMPARE(t->cellText(2, c), QString()); // class 1 has two finishers
    }
    QCOMPARE(t->cellText(1, 2), QStringLiteral(" Dy Ed"));
    QCOMPARE(t->cellText(3, 0), QStringLiteral("1."));
    QCOMPARE(t->cellText(3, 5), QStringLiteral("39,00 "));
    QCOMPARE(t->cellText(6, 1), QString());
    // A later, shorter table empties what the earlier one filled.
    results.setRowsWithHeader(2);
    results.setRowCells(1, {});
    m_fx->window().updateTvWindows();
    QCOMPARE(t->cellText(0, 1), QString());
}

void TstTvContent::bestTeam_data() {
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("members");
    QTest::newRow("no teams") << QList<QStringList>{} << 0 << ""
                              << "";
    QTest::newRow("only incomplete teams") << QList<QStringList>{{"", "", "", "", ""}} << 0 << ""
                                           << "";
    QTest::newRow("first row wins, with its total")
        << QList<QStringList>{{"78", "SV A", "a : 25", "b : 26", "c : 27"},
                              {"80", "SV B", "d", "e", "f"}}
        << 0 << "Best Team\nSV A"
        << "a : 25\r\nb : 26\r\nc : 27\r\nGesamt : 78";
    QTest::newRow("total in seconds as a time")
        << QList<QStringList>{{"61,5", "SV A", "a : 20,50", "b : 20,50", "c : 20,50"}} << 1
        << "Best Team\nSV A"
        << "a : 20,50\r\nb : 20,50\r\nc : 20,50\r\nGesamt : 61,50";
}

void TstTvContent::bestTeam() {
    QFETCH(QList<QStringList>, rows);
    QFETCH(int, format);
    QFETCH(QString, heading);
    QFETCH(QString, members);
    m_fx->window().session().competition().setTimeFormat(TimeFormat(format, u','));
    CompetitionTable& teams = m_fx->window().session().competition().teams();
    teams.setRowsWithHeader(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        teams.setRowCells(r + 1, rows[r]);
    m_fx->window().header()->titleEdit->setText(QStringLiteral("Titel"));
    m_fx->window().updateTvWindows();
    TvBestTeamWindow* b = m_tv->bestTeam();
    QCOMPARE(b->LabelTitle()->caption(), QStringLiteral("Titel"));
    QCOMPARE(b->currentName()->text(), heading);
    QCOMPARE(b->topLabel()->text(), members);
    QCOMPARE(b->bestLabel()->text(), QString());
}

namespace {

const QString LongName = QStringLiteral(
    " 1010 Maximiliane-Alexandra Freifrau von Hohenzollern-Sigmaringen-Schwarzenberg ");

// Every line of the label's text whole inside the label, and the label inside its window.
bool showsWhole(const QLabel* label) {
    const QFontMetrics metrics(label->font());
    for (const QString& line : QString(label->text()).remove(u'\r').split(u'\n')) {
        if (metrics.horizontalAdvance(line) > label->width())
            return false;
    }
    const QRect inWindow(label->mapTo(label->window(), QPoint(0, 0)), label->size());
    return label->window()->rect().contains(inWindow);
}

} // namespace

void TstTvContent::longTextsFit_data() {
    QTest::addColumn<int>("length"); // characters of the long name shown
    QTest::newRow("short") << 20;
    QTest::newRow("wider than the digits") << 54;
    QTest::newRow("very long") << 90;
}

void TstTvContent::longTextsFit() {
    QFETCH(int, length);
    const QString text = LongName.left(length);
    for (TvWindow* w : {static_cast<TvWindow*>(m_tv->time()), static_cast<TvWindow*>(m_tv->video()),
                        static_cast<TvWindow*>(m_tv->bestTeam())}) {
        w->resize(1920, 1080);
        w->layoutWindow();
    }
    m_fx->window().session().setCurrentCompetitor(text, text);
    CompetitionTable& teams = m_fx->window().session().competition().teams();
    teams.setRowCells(1, {"78", text, text + QStringLiteral(" : 20"), "b : 21", "c : 22"});
    m_fx->window().updateTvWindows();
    // Each text with the pixel size it is designed with on this screen.
    const QList<std::pair<QLabel*, int>> labels{{m_tv->time()->currentName(), 54},
                                                {m_tv->time()->bestLabel(), 65},
                                                {m_tv->bestTeam()->currentName(), 67},
                                                {m_tv->bestTeam()->topLabel(), 67},
                                                {m_tv->video()->currentName(), 55}};
    for (const auto& [label, designed] : labels) {
        QVERIFY2(showsWhole(label), qPrintable(label->objectName()));
        QVERIFY(label->font().pixelSize() <= designed);
        if (length != 54)
            QCOMPARE(label->font().pixelSize() < designed, length == 90);
    }
    // The competitor bar grows into the black beside the digits (1369 wide) before it shrinks.
    QCOMPARE(m_tv->time()->currentName()->width() > 1369, length > 20);
    if (length == 54)
        QCOMPARE(m_tv->time()->currentName()->font().pixelSize(), 54);
}

void TstTvContent::top3NamesFit() {
    TvTop3Window* t = m_tv->top3();
    t->resize(1920, 1080);
    t->layoutWindow();
    QTableWidget* table = t->heatStartListTable();
    const QRect cell = table->visualRect(table->model()->index(0, 2));
    const QFont designed = table->font();
    for (const QString& name : {QStringLiteral(" Ax Bo"), LongName + LongName}) {
        const QFont fitted = Top3CellDelegate::cellFont(name, designed, cell);
        QCOMPARE(fitted.pixelSize() < designed.pixelSize(), name.size() > 10);
        QVERIFY(QFontMetrics(fitted).horizontalAdvance(name) < cell.width());
    }
}

void TstTvContent::logo_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("loads");
    QTest::newRow("picture") << "logo.png" << true;
    QTest::newRow("missing file") << "gone.png" << false;
    QTest::newRow("not a picture") << "text.png" << false;
}

void TstTvContent::logo() {
    QFETCH(QString, file);
    QFETCH(bool, loads);
    const InstallationFixture& install = m_fx->install();
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(picture.save(install.filePath(QStringLiteral("logo.png"))));
    QVERIFY(install.writeFile(QStringLiteral("text.png"), "no picture"));
    const QString path = install.filePath(file);
    m_fx->window().session().settings().logo = path;
    m_tv->time()->resize(1920, 1080);
    m_tv->reloadLogo();
    QCOMPARE(m_tv->time()->hasLogo(), loads);
    QCOMPARE(m_fx->window().session().settings().logo, loads ? path : QString());
    // The footer picture keeps the picture's proportions at the footer's height.
    QCOMPARE(m_tv->time()->logoPicture()->width(), loads ? 216 : 0);
    QCOMPARE(m_tv->time()->logoPicture()->pixmap().isNull(), !loads);
}

void TstTvContent::labelRepaintsOnlyOnChange_data() {
    QTest::addColumn<Setter>("same");
    QTest::addColumn<Setter>("changed");
    auto row = [](const char* name, Setter same, Setter changed) {
        QTest::newRow(name) << same << changed;
    };
    row(
        "Bevel", [](Label3D& l) { l.setBevel(Label3D::Bevel::Raised); },
        [](Label3D& l) { l.setBevel(Label3D::Bevel::Shadow); });
    row(
        "ShadowSize", [](Label3D& l) { l.setShadowSize(1); },
        [](Label3D& l) { l.setShadowSize(3); });
    row(
        "ShadowNapr", [](Label3D& l) { l.setShadowNapr(1); },
        [](Label3D& l) { l.setShadowNapr(0x81); });
    row(
        "FillGradient", [](Label3D& l) { l.setFillGradient(false); },
        [](Label3D& l) { l.setFillGradient(true); });
    row(
        "FirstColor", [](Label3D& l) { l.setFirstColor(Qt::white); },
        [](Label3D& l) { l.setFirstColor(Qt::red); });
    row(
        "LastColor", [](Label3D& l) { l.setLastColor(QColor(0, 0x80, 0x80)); },
        [](Label3D& l) { l.setLastColor(Qt::red); });
    row(
        "GradientOrientation",
        [](Label3D& l) { l.setGradientOrientation(Label3D::GradientOrientation::Horizontal); },
        [](Label3D& l) { l.setGradientOrientation(Label3D::GradientOrientation::Vertical); });
    row(
        "BorderStyle", [](Label3D& l) { l.setBorderStyle(Label3D::BorderStyle::None); },
        [](Label3D& l) { l.setBorderStyle(Label3D::BorderStyle::Inn); });
    row(
        "BorderColor", [](Label3D& l) { l.setBorderColor(Qt::black); },
        [](Label3D& l) { l.setBorderColor(Qt::blue); });
    row(
        "BorderWidth", [](Label3D& l) { l.setBorderWidth(1); },
        [](Label3D& l) { l.setBorderWidth(4); });
    row(
        "Caption", [](Label3D& l) { l.setCaption(QStringLiteral("A")); },
        [](Label3D& l) { l.setCaption(QStringLiteral("B")); });
    row(
        "Layout", [](Label3D& l) { l.setLayout(Label3D::Layout::Top); },
        [](Label3D& l) { l.setLayout(Label3D::Layout::Bottom); });
}

void TstTvContent::labelRepaintsOnlyOnChange() {
    QFETCH(Setter, same);
    QFETCH(Setter, changed);
    Label3D label;
    // The designed defaults.
    QCOMPARE(label.bevel(), Label3D::Bevel::Raised);
    QCOMPARE(label.shadowSize(), 1);
    QCOMPARE(label.shadowNapr(), 1);
    QCOMPARE(label.fillGradient(), false);
    QCOMPARE(label.firstColor(), QColor(Qt::white));
    QCOMPARE(label.lastColor(), QColor(0, 0x80, 0x80));
    QCOMPARE(label.borderStyle(), Label3D::BorderStyle::None);
    QCOMPARE(label.borderWidth(), 1);
    label.setCaption(QStringLiteral("A"));
    label.resize(100, 40);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QTRY_VERIFY(label.paintCount() > 0);
    QTest::qWait(20);
    const int before = label.paintCount();
    same(label);
    QTest::qWait(30);
    QCOMPARE(label.paintCount(), before);
    changed(label);
    QTRY_COMPARE(label.paintCount(), before + 1);
}

QTEST_MAIN(TstTvContent)
#include "tst_tvcontent.moc"
