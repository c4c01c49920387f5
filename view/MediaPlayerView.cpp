#include "view/MediaPlayerView.h"

#include "render/VideoRender.h"

namespace {
CMediaPlayerView* theView = nullptr;
}

CMediaPlayerView::CMediaPlayerView(QWidget* parent) : QWidget(parent) { theView = this; }

CMediaPlayerView::~CMediaPlayerView()
{
    if (theView == this)
        theView = nullptr;
}

CMediaPlayerView* CMediaPlayerView::Instance() { return theView; }

void CMediaPlayerView::CreateRenderer(int type) { rendererType_ = type == 1 ? 1 : 2; }

void CMediaPlayerView::ApplyFrameFormat() {}

void CMediaPlayerView::Invalidate(bool) { update(); }

bool CMediaPlayerView::OnEndOfStream() { return false; }

void CMediaPlayerView::OnInitialUpdate() {}
