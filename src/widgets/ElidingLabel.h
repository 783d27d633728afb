#pragma once

#include <QLabel>

// A one-line label that keeps its whole text but shows only what fits, cut at the end with an
// ellipsis, and offers the whole text as its tooltip; so the start of a message (and the count
// in it) stays readable in a narrow status panel.
class ElidingLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    // The width it asks for whatever its text; it gives way down to a few letters when the
    // window is narrower than designed.
    void setPreferredWidth(int width);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The text as drawn in the current width and font.
    QString shownText() const;

    // What of a text fits into the width in the font's metrics.
    static QString elided(const QFontMetrics& metrics, const QString& text, int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_preferredWidth = -1;
};
