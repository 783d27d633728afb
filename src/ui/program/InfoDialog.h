#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The information window: program name, version and the maker's web address as a link.
class InfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit InfoDialog(QWidget* parent = nullptr);

    static QString versionText() { return QStringLiteral("Version 1.7 (15.02.2009)"); }

    QLabel* linkLabel() const { return m_link; }
    QPushButton* okButton() const { return m_ok; }

    // The page the link label leads to: "http://" + its text.
    QUrl linkUrl() const;

    // A notice for the operator below the version (empty: none); the window grows to hold it.
    void setNotice(const QString& notice);
    QLabel* noticeLabel() const { return m_notice; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_link;
    QPushButton* m_ok;
    QLabel* m_notice;
};
