// CFrameScaler: scales a 24-bit BGR frame straight into a 32-bit image of the size shown, in one pass.
#pragma once

#include <QImage>
#include <QRect>

#include <cstdint>
#include <vector>

// The raster paint engine has no scaling blit from 24-bit pixels: it converts and scales span by span,
// several times the cost of a 32-bit blit. Reading only the source pixels that land on screen and writing
// them as 32-bit pixels leaves the painter a plain copy.
class CFrameScaler {
public:
    struct Source {
        const std::uint8_t* bits = nullptr;
        int width = 0;
        int height = 0;
        qsizetype stride = 0; // bytes per row, padding included
        bool topDown = true;
    };

    // Nearest-neighbour: the frame stretched over dest; only the part of dest inside visible is written, into
    // target, which is (re)made Format_RGB32 of visible's size when it is not already.
    void Scale(const Source& source, const QRect& dest, const QRect& visible, QImage& target);

private:
    void BuildColumns(int sourceWidth, const QRect& dest, const QRect& visible);

    std::vector<qsizetype> columnOffsets_; // byte offset in a source row of each target column
    int columnsWidth_ = 0;                 // the source width, dest and visible the table was built for
    QRect columnsDest_, columnsVisible_;
};
