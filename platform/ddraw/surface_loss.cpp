#include "platform/ddraw/surface_loss.h"

#include "platform/ddraw/objects.h"

void LoseAllSurfaces() {
    for (Surface* surface : LiveSurfaces()) surface->MarkLost();
}
