#include "widgets/ColorButton.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>

// The coloured timing button: presses reach its command once, never past a disabled command.
class TestColorButton : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void pressTriggersOnce_data();
    void pressTriggersOnce();
    void disabledCommandDoesNothing();
    void doubleClickIsSecondPress();
    void commandThatDisablesButtonLeavesItUp();
    void keyboardClickUsesClickAction();
    void colourRepaintsAndShows();

private:
    QWidget* m_window = nullptr;
    ColorButton* m_button = nullptr;
    QAction* m_action = nullptr;
};

void TestColorButton::init() {
    m_window = new QWidget;
    m_button = new ColorButton(QStringLiteral("START"), m_window);
    m_button->setGeometry(10, 10, 120, 30);
    m_action = new QAction(QStringLiteral("Start"), m_window);
    connect(m_button, &ColorButton::mousePressed, m_action, &QAction::trigger);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestColorButton::cleanup() {
    delete m_window;
    m_window = nullptr;
}

void TestColorButton::pressTriggersOnce_data() {
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestColorButton::pressTriggersOnce() {
    QFETCH(Qt::MouseButton, mouseButton);
    QSignalSpy triggered(m_action, &QAction::triggered);
    QTest::mousePress(m_button, mouseButton);
    QCOMPARE(triggered.count(), 1);
    QTest::mouseRelease(m_button, mouseButton);
    QCOMPARE(triggered.count(), 1);
}

void TestColorButton::disabledCommandDoesNothing() {
    m_action->setEnabled(false);
    QSignalSpy triggered(m_action, &QAction::triggered);
    QTest::mousePress(m_button, Qt::LeftButton);
    QTest::mouseRelease(m_button, Qt::LeftButton);
    QCOMPARE(triggered.count(), 0);
}

void TestColorButton::doubleClickIsSecondPress() {
    QSignalSpy triggered(m_action, &QAction::triggered);
    // Sent to the window, as the platform delivers it: the second press arrives as a
    // double-click event.
    QWindow* window = m_window->windowHandle();
    const QPoint at = m_button->geometry().center();
    QTest::mouseDClick(window, Qt::LeftButton, {}, at);
    QCOMPARE(triggered.count(), 2);
}

void TestColorButton::commandThatDisablesButtonLeavesItUp() {
    connect(m_action, &QAction::triggered, m_button, [this] { m_button->setEnabled(false); });
    QTest::mousePress(m_button, Qt::LeftButton);
    QVERIFY(!m_button->isDown());
    QVERIFY(!m_button->isEnabled());
}

void TestColorButton::keyboardClickUsesClickAction() {
    QSignalSpy pressed(m_button, &ColorButton::mousePressed);
    QSignalSpy clicked(m_button, &QPushButton::clicked);
    m_button->setFocus();
    QTest::keyClick(m_button, Qt::Key_Space);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(pressed.count(), 0);
}

void TestColorButton::colourRepaintsAndShows() {
    m_button->setColor(QColor(0x008000));
    QCOMPARE(m_button->color(), QColor(0x008000));
    const QImage face = m_button->grab().toImage();
    // The middle of the face, away from the caption's letters, shows the button's own colour.
    QCOMPARE(QColor(face.pixel(6, face.height() / 2)), QColor(0x008000));
    m_button->setColor(QColor(0xFF0000));
    const QImage red = m_button->grab().toImage();
    QCOMPARE(QColor(red.pixel(6, red.height() / 2)), QColor(0xFF0000));
}

QTEST_MAIN(TestColorButton)
#include "tst_colorbutton.moc"
