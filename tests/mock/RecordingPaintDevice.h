#pragma once

#include <QColor>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

// A paint device of any size and resolution that keeps what is painted on it, page by page:
// every text with its position and colour, every outlined rectangle and every filled one with
// its colour, so tests read a printout as data.
class RecordingPaintDevice : public QPaintDevice {
public:
    struct Text {
        QString text;
        QPoint position; // baseline start
        QRect clip;      // empty when unclipped
        QColor colour;   // of the pen
    };
    struct Fill {
        QRect rect;
        QColor colour;
    };
    struct Page {
        QList<Text> texts;
        QList<QRect> boxes;
        QList<Fill> fills; // solid rectangles, also among the boxes
        QStringList textList() const;
        bool hasText(const QString& text) const;
    };

    RecordingPaintDevice(int width, int height, int dpi);
    ~RecordingPaintDevice() override;

    // Starts recording the next page.
    void newPage() { pages.append(Page{}); }
    QList<Page> pages{Page{}};

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    int m_width;
    int m_height;
    int m_dpi;
    std::unique_ptr<Engine> m_engine;
};
