#include "document/MediaPlayerDoc.h"

#include <QApplication>
#include <QStyle>

namespace {
CMediaPlayerDoc* currentDocument = nullptr;
}

CMediaPlayerDoc::CMediaPlayerDoc(QObject* parent) : QObject(parent) {
    // The style's frame width is this platform's counterpart of the sunken edge metric.
    const int edge = qobject_cast<QApplication*>(QCoreApplication::instance())
                         ? QApplication::style()->pixelMetric(QStyle::PM_DefaultFrameWidth)
                         : 2;
    cxEdge = edge;
    cyEdge = edge;
    currentDocument = this;
}

CMediaPlayerDoc::~CMediaPlayerDoc() {
    if (currentDocument == this) currentDocument = nullptr;
}

CMediaPlayerDoc* CMediaPlayerDoc::Instance() { return currentDocument; }
