#include "tv/widgets/TvWordMark.h"

#include "tv/widgets/Label3D.h"
#include "tv/widgets/TvWindow.h"

TvWordMark::TvWordMark(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WordMark"));
    const std::array<QColor, 3> colours{QColor(0xFF, 0x00, 0x00), QColor(0x00, 0xFF, 0x00),
                                        QColor(0x40, 0x80, 0xFF)};
    const auto texts = parts();
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        auto* label = new Label3D(this);
        label->setObjectName(QStringLiteral("LabelQuarnek%1").arg(i + 1));
        label->setCaption(texts[i]);
        label->setFontColor(colours[i]);
        label->setBevel(Label3D::Bevel::Shadow);
        label->setShadowSize(2);
        label->setShadowColor(Qt::black);
        label->setTransparent(true);
        label->setLayout(Label3D::Layout::Center);
        m_parts[i] = label;
    }
}

std::array<QString, 3> TvWordMark::parts() {
    return {QStringLiteral("Qu"), QStringLiteral("ar"), QStringLiteral("nek")};
}

void TvWordMark::arrange(int pixelSize, const std::array<int, 3>& widths, int height) {
    int x = 0;
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        m_parts[i]->setFont(TvWindow::tvFont(pixelSize));
        // Room for the shadow two pixels to the right.
        m_parts[i]->setGeometry(x, 0, widths[i] + 2, height);
        x += widths[i];
    }
}
