// CFrameView: the picture the engine wrapper hands to a renderer, as one value that holds the wrapper's frame
// lock for as long as the pixels may be read.
//
// The view takes it from CVideoEngine::LockFrame and moves it into CVideoRender::Draw. The renderer calls
// Release as soon as it holds the picture itself (scaled, or uploaded into a texture); whatever it still
// holds is released when the value goes out of scope at the end of Draw. The number, serial, header and
// size stay readable after Release; the pixels do not. While the lock is held the playback thread cannot
// hand over its next picture, but it never waits for it while decoding: it only swaps two buffers under it.
#pragma once

#include "engine/module/VideoDevice.h"

#include <QSize>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <utility>

class CFrameView {
public:
    CFrameView() = default;
    CFrameView(std::unique_lock<std::mutex> lock, const std::uint8_t* bits, std::size_t bytes,
               const BITMAPINFOHEADER& header, QSize size, std::int64_t frame, std::uint64_t serial)
        : lock_(std::move(lock)), bits_(bits), bytes_(bytes), header_(header), size_(size), frame_(frame),
          serial_(serial) {}
    CFrameView(CFrameView&& other) noexcept { *this = std::move(other); }
    CFrameView& operator=(CFrameView&& other) noexcept {
        lock_ = std::move(other.lock_);
        bits_ = std::exchange(other.bits_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
        header_ = other.header_;
        size_ = other.size_;
        frame_ = other.frame_;
        serial_ = other.serial_;
        return *this;
    }
    CFrameView(const CFrameView&) = delete;
    CFrameView& operator=(const CFrameView&) = delete;

    // The pixels, rows padded to 4 bytes as the header describes; null when no picture has been decoded since
    // the open, or after Release.
    const std::uint8_t* Bits() const { return bits_; }
    std::size_t Bytes() const { return bytes_; }
    // The open file's frame format and size; Size is empty when no file is open.
    const BITMAPINFOHEADER& Header() const { return header_; }
    QSize Size() const { return size_; }
    bool HasFormat() const { return !size_.isEmpty(); }
    // The engine's number of the frame in Bits (-1 without a picture).
    std::int64_t FrameNumber() const { return frame_; }
    // Changes with every picture handed over (a refresh of the same frame too), never repeats in a process;
    // 0 means no picture.
    std::uint64_t Serial() const { return serial_; }
    bool Held() const { return lock_.owns_lock(); }

    // Gives the lock back; Bits is null afterwards.
    void Release() {
        bits_ = nullptr;
        bytes_ = 0;
        if (lock_.owns_lock()) lock_.unlock();
    }

private:
    std::unique_lock<std::mutex> lock_;
    const std::uint8_t* bits_ = nullptr;
    std::size_t bytes_ = 0;
    BITMAPINFOHEADER header_{};
    QSize size_;
    std::int64_t frame_ = -1;
    std::uint64_t serial_ = 0;
};
