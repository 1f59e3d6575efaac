#include "playback/navigation.h"

bool playListNeighbour(App&, ListMove) { return false; }
