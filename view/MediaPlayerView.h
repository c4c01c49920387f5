// CMediaPlayerView: the main view. Paints the video (or the logo screen), switches renderers, reacts to input.
#pragma once

#include <QWidget>
#include <memory>

class CVideoRender;
class QLabel;
class QTimer;

class CMediaPlayerView : public QWidget {
    Q_OBJECT
public:
    explicit CMediaPlayerView(QWidget* parent = nullptr);
    ~CMediaPlayerView() override;

    // The single view of the process; null before it is constructed and after it is destroyed.
    static CMediaPlayerView* Instance();

    // The current renderer; null before the first CreateRenderer.
    CVideoRender* Renderer() const { return renderer_.get(); }
    // 1 GDI+, 2 OpenGL; 0 before the first CreateRenderer.
    int RendererType() const { return rendererType_; }
    // Replaces the renderer by one of the given type (1 GDI+, 2 OpenGL); an unknown type falls back to 2.
    void CreateRenderer(int type);
    // Hands the engine's frame format to the renderer, fits the picture and resets zoom and pan. Call after
    // every open and every renderer switch.
    void ApplyFrameFormat();
    // Asks for a repaint of the surface; erase drops the last picture (logo screen when nothing plays).
    void Invalidate(bool erase);
    // The stream ended: opens the next playlist entry, else stops. True when another entry started.
    bool OnEndOfStream();
    // The first update after the document exists: renderer, logo, timers, command-line file.
    void OnInitialUpdate();

private:
    std::unique_ptr<CVideoRender> renderer_;
    int rendererType_ = 0;
};
