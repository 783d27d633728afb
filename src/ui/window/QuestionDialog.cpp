#include "ui/window/QuestionDialog.h"

#include "ui/window/QuestionDialogLayout.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

QuestionDialog::QuestionDialog(const QString& programTitle, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("QuestionDialog"));
    setWindowTitle(programTitle);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setGeometry(QuestionDialogLayout::DesignedIcon);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));

    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("LabelQuestion"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);

    m_yes = new QPushButton(QStringLiteral("Ja"), this);
    m_yes->setObjectName(QStringLiteral("bJa"));
    m_no = new QPushButton(QStringLiteral("Nein"), this);
    m_no->setObjectName(QStringLiteral("bNein"));
    applyLayout();
    // Auto-default (the focused button takes Enter) but no fixed default button.
    for (QPushButton* button : {m_yes, m_no}) {
        button->setAutoDefault(true);
        button->setDefault(false);
    }
    connect(m_yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_no, &QPushButton::clicked, this, &QDialog::reject);
}

void QuestionDialog::setQuestion(const QString& question) {
    m_text->setText(question);
    applyLayout();
}

void QuestionDialog::applyLayout() {
    const auto layout = QuestionDialogLayout::layoutFor(m_text->fontMetrics(), m_text->text(),
                                                        m_yes->text(), m_no->text());
    setFixedSize(layout.dialog);
    m_text->setGeometry(layout.text);
    m_yes->setGeometry(layout.yes);
    m_no->setGeometry(layout.no);
}

QString QuestionDialog::question() const {
    return m_text->text();
}

bool QuestionDialog::ask(const QString& question) {
    setQuestion(question);
    m_no->setFocus();
    return exec() == QDialog::Accepted;
}
