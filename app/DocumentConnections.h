// The one place where the document's requests are connected to the windows that carry them out: the
// document signals (repaint, frame format, status text, renderer, zoom and pan, quit) and never reaches
// into the view, the frame or the application itself.
#pragma once

class CMediaPlayerDoc;
class CMainFrame;
class CMediaPlayerView;

// Call once, after the three exist and before the view's first update.
void ConnectDocument(CMediaPlayerDoc& doc, CMainFrame& frame, CMediaPlayerView& view);
