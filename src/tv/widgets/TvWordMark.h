#pragma once

#include <QWidget>
#include <array>

class Label3D;

// The maker's word mark in the audience windows' footers: three adjacent parts in red, lime
// and light blue, each over a black shadow two pixels down and right.
class TvWordMark : public QWidget {
    Q_OBJECT
public:
    explicit TvWordMark(QWidget* parent = nullptr);

    static std::array<QString, 3> parts();
    Label3D* part(int i) const { return m_parts.at(static_cast<std::size_t>(i)); }
    // The parts at the font size, side by side with the given widths, the area's height.
    void arrange(int pixelSize, const std::array<int, 3>& widths, int height);

private:
    std::array<Label3D*, 3> m_parts{};
};
