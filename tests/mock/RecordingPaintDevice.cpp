#include "mock/RecordingPaintDevice.h"

#include <QPainter>
#include <QTextItem>

class RecordingPaintDevice::Engine : public QPaintEngine {
public:
    explicit Engine(RecordingPaintDevice& device) : QPaintEngine(AllFeatures), m_device(device) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & DirtyClipRegion)
            m_clip = state.clipRegion().boundingRect();
        if ((state.state() & DirtyClipEnabled) && !state.isClipEnabled())
            m_clip = QRect();
        if (state.state() & DirtyPen)
            m_pen = state.pen().color();
        if (state.state() & DirtyBrush)
            m_brush = state.brush();
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i)
            record(rects[i]);
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i)
            record(rects[i].toRect());
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        m_device.pages.last().texts.append({item.text(), p.toPoint(), m_clip, m_pen});
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    Type type() const override { return User; }

private:
    void record(const QRect& rect) {
        m_device.pages.last().boxes.append(rect);
        if (m_brush.style() == Qt::SolidPattern)
            m_device.pages.last().fills.append({rect, m_brush.color()});
    }

    RecordingPaintDevice& m_device;
    QRect m_clip;
    QColor m_pen;
    QBrush m_brush;
};

QStringList RecordingPaintDevice::Page::textList() const {
    QStringList list;
    for (const Text& t : texts)
        list.append(t.text);
    return list;
}

bool RecordingPaintDevice::Page::hasText(const QString& text) const {
    return textList().contains(text);
}

RecordingPaintDevice::RecordingPaintDevice(int width, int height, int dpi)
    : m_width(width), m_height(height), m_dpi(dpi), m_engine(std::make_unique<Engine>(*this)) {}

RecordingPaintDevice::~RecordingPaintDevice() = default;

QPaintEngine* RecordingPaintDevice::paintEngine() const {
    return m_engine.get();
}

int RecordingPaintDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return m_width;
    case PdmHeight:
        return m_height;
    case PdmWidthMM:
        return m_width * 254 / (10 * m_dpi);
    case PdmHeightMM:
        return m_height * 254 / (10 * m_dpi);
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return m_dpi;
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}
