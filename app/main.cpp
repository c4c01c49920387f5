#include "app/MediaPlayerApp.h"

int main(int argc, char** argv) {
    CMediaPlayerApp app(argc, argv);
    return app.Run();
}
