#include "support/drawntext.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QWidget>

namespace {

// A paint engine that draws nothing and writes down every text drawn on it.
class TextRecorder : public QPaintEngine
{
public:
    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override
    {
        texts.append({item.text(), state->pen().color()});
    }
    Type type() const override { return QPaintEngine::User; }

    QList<DrawnText> texts;
};

class RecordingDevice : public QPaintDevice
{
public:
    explicit RecordingDevice(QSize size) : m_size(size) {}

    QPaintEngine* paintEngine() const override { return &m_engine; }
    QList<DrawnText> texts() const { return m_engine.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        default:
            return 1;
        }
    }

private:
    QSize m_size;
    mutable TextRecorder m_engine;
};

} // namespace

QList<DrawnText> drawnText(QWidget* widget)
{
    RecordingDevice device(widget->size());
    widget->render(&device);
    return device.texts();
}

QStringList drawnStrings(QWidget* widget)
{
    QStringList strings;
    for (const DrawnText& drawn : drawnText(widget)) {
        strings.append(drawn.text);
    }
    return strings;
}
