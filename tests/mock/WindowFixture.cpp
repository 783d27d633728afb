#include "WindowFixture.h"

#include "FakeInhibitorBus.h"
#include "FakeSerialSystem.h"
#include "timing/SerialPort.h"

#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QSettings>

InstallationFixture::InstallationFixture(const QString& programTitle) : m_title(programTitle) {}

bool InstallationFixture::writeFile(const QString& name, const QByteArray& content) const {
    QFile file(filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(content) == content.size();
}

void InstallationFixture::writeSettingsBrokenAtLen() const {
    QSettings stored(filePath(m_title + QStringLiteral(".conf")), QSettings::IniFormat);
    const QList<std::pair<const char*, QVariant>> values{{"Left", 10},
                                                         {"Top", 20},
                                                         {"Width", 760},
                                                         {"Height", 600},
                                                         {"Sound", 1},
                                                         {"Port", 0},
                                                         {"Alg", 0},
                                                         {"WaitStart", 5000},
                                                         {"Timer", 0},
                                                         {"Monitor", 0},
                                                         {"LockTime", 5000},
                                                         {"Title", "Gespeichert"},
                                                         {"AutoReset", 1},
                                                         {"FilterInd", 2},
                                                         {"VidResult", 1},
                                                         {"Len", "5O"},
                                                         {"Logo", "/bilder/logo.png"},
                                                         {"LiveResults", 1},
                                                         {"LivePort", 9000}};
    for (const auto& [name, value] : values)
        stored.setValue(QLatin1String(name), value);
}

bool InstallationFixture::writePicture(const QString& name) const {
    QImage image(300, 120, QImage::Format_RGB32);
    image.fill(QColor(0x3080C0));
    return image.save(filePath(name), "JPG");
}

TestEnvironment InstallationFixture::environment(ScriptedAnswers* answers) const {
    return environmentAs(m_title, answers);
}

TestEnvironment InstallationFixture::environmentAs(const QString& programTitle,
                                                   ScriptedAnswers* answers) const {
    TestEnvironment environment;
    static_cast<ProgramEnvironment&>(environment) = ProgramEnvironment(filePath(programTitle));
    environment.setDataDir(m_dataDir.path());
    environment.setUserDataDir(userDataDir());
    environment.setDecimalSeparator(u',');
    environment.setSettingsFolder(dir());
    environment.seams.fileDialogs = m_dialogs;
    if (answers)
        environment.seams.answerProvider = answers->provider();
    // No window under test looks at the machine's real serial devices.
    environment.setSerialSystem(
        std::make_shared<FakeSerialSystem>(&SerialPort::steadyClockMicroseconds));
    // Nor does it keep the test machine awake.
    environment.setInhibitorBus(std::make_shared<FakeInhibitorBus>());
    // Nor does it depend on the office programs the test machine has.
    environment.setApplicationLookup([](const char*) { return false; });
    return environment;
}

UrlRecorder::UrlRecorder(QStringList schemes) : m_schemes(std::move(schemes)) {
    for (const QString& scheme : m_schemes)
        QDesktopServices::setUrlHandler(scheme, this, "open");
}

UrlRecorder::~UrlRecorder() {
    for (const QString& scheme : m_schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}
