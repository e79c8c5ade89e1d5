#include "audio/sound_request.h"

SoundRequest::~SoundRequest() {
    if (ownsData) delete[] data;
}
