/* The floor for the game's start-up time: the least any SDL2 program with a
 * software framebuffer can do to put a 600 x 420 board-like picture on the
 * screen. It is a benchmark program, not part of the game, so it may call SDL
 * directly (the game reaches SDL only through platform/host/). */
#include <SDL.h>

enum { WIDTH = 600, HEIGHT = 420, BAR = 20, CELL_W = 30, CELL_H = 40 };

/* Grey bar where the game has its menu, then 20 x 10 coloured cells with a
 * dark edge, so the first-paint detector sees what it sees in the game. */
static void PaintBoard(SDL_Surface* surface) {
    static const Uint32 colours[] = {0xC03030, 0x30A040, 0x3050C0, 0xD0A020, 0x9040B0};
    for (int y = 0; y < HEIGHT; ++y) {
        Uint32* row = (Uint32*)((Uint8*)surface->pixels + y * surface->pitch);
        for (int x = 0; x < WIDTH; ++x) {
            Uint32 colour = 0xC0C0C0;
            if (y >= BAR) {
                int cx = x / CELL_W, cy = (y - BAR) / CELL_H;
                int edge = x % CELL_W == 0 || (y - BAR) % CELL_H == 0;
                colour = edge ? 0x202020 : colours[(cx * 7 + cy * 3) % 5];
            }
            row[x] = colour;
        }
    }
}

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        SDL_Log("SDL_Init: %s", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("startup floor", SDL_WINDOWPOS_UNDEFINED,
                                          SDL_WINDOWPOS_UNDEFINED, WIDTH, HEIGHT, 0);
    SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : NULL;
    if (!surface || surface->format->BytesPerPixel != 4) {
        SDL_Log("no 32-bit window surface: %s", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    PaintBoard(surface);
    SDL_UpdateWindowSurface(window);
    SDL_Event event;
    while (SDL_WaitEvent(&event)) {
        if (event.type == SDL_QUIT) break;
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED)
            SDL_UpdateWindowSurface(window);
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
