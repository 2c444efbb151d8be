/* Starts a program and reports how long it took until its board was on the
 * screen: the time from just before fork+exec until a top-level window whose
 * name contains the given text is viewable and at least 30% of the sampled
 * pixels of its 600 x 400 area below the 20-pixel bar are neither white nor
 * black (an unpainted window shows the white class background, the bare root
 * or black; a board shows coloured tiles).
 *
 *   first_paint NAME TIMEOUT_MS -- PROGRAM [ARGS...]
 *
 * FIRST_PAINT_DUMP=file.ppm saves the area as it was when the board was seen;
 * FIRST_PAINT_TRACE=1 prints the monotonic clock at exec and at that moment.
 *
 * Prints "<milliseconds> <pid>" on stdout as soon as the board is up, then
 * stays until the program ends (so that the caller can look at it in /proc
 * and end it with a signal), and exits with its status. On a timeout it
 * prints "timeout <pid>", ends the program and exits with 2.
 *
 * The poller shares the processor with what it measures, so it stays cheap:
 * it looks for the window only when top-level windows come and go, and reads
 * the screen through MIT-SHM where the server has it, so a poll costs the X
 * server one copy of the area and this process almost nothing. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { AREA_X = 0, AREA_Y = 20, AREA_W = 600, AREA_H = 400, STEP = 4 };

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

static int IgnoreErrors(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0;
}

/* Depth-first over the whole tree: the window manager reparents top-level
 * windows into its frames. */
static Window FindNamed(Display* display, Window under, const char* name) {
    char* windowName = NULL;
    if (XFetchName(display, under, &windowName) && windowName) {
        int match = strstr(windowName, name) != NULL;
        XFree(windowName);
        if (match) return under;
    }
    Window root, parent, *children = NULL;
    unsigned count = 0;
    if (!XQueryTree(display, under, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) found = FindNamed(display, children[i], name);
    if (children) XFree(children);
    return found;
}

static int IsBoardPixel(unsigned long pixel) {
    unsigned r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    int white = r > 0xF0 && g > 0xF0 && b > 0xF0;
    int black = r < 0x10 && g < 0x10 && b < 0x10;
    return !white && !black;
}

static int ShowsBoard(XImage* image) {
    int samples = 0, board = 0;
    for (int y = 0; y < AREA_H; y += STEP) {
        for (int x = 0; x < AREA_W; x += STEP) {
            ++samples;
            board += IsBoardPixel(XGetPixel(image, x, y));
        }
    }
    return board * 10 >= samples * 3;
}

/* What the poller saw when it decided, for checking the decision. */
static void DumpPpm(XImage* image, const char* path) {
    FILE* file = fopen(path, "wb");
    if (!file) return;
    fprintf(file, "P6\n%d %d\n255\n", AREA_W, AREA_H);
    for (int y = 0; y < AREA_H; ++y) {
        for (int x = 0; x < AREA_W; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            fputc((int)(pixel >> 16) & 0xFF, file);
            fputc((int)(pixel >> 8) & 0xFF, file);
            fputc((int)pixel & 0xFF, file);
        }
    }
    fclose(file);
}

int main(int argc, char** argv) {
    if (argc < 5 || strcmp(argv[3], "--") != 0) {
        fprintf(stderr, "usage: %s NAME TIMEOUT_MS -- PROGRAM [ARGS...]\n", argv[0]);
        return 64;
    }
    const char* name = argv[1];
    double timeout = atof(argv[2]);

    /* Everything the poll needs is ready before the clock starts. */
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "first_paint: cannot open display\n");
        return 69;
    }
    XSetErrorHandler(IgnoreErrors);
    int screen = DefaultScreen(display);
    Window rootWindow = RootWindow(display, screen);
    XShmSegmentInfo shm;
    XImage* image = NULL;
    if (XShmQueryExtension(display)) {
        image = XShmCreateImage(display, DefaultVisual(display, screen),
                                (unsigned)DefaultDepth(display, screen), ZPixmap, NULL, &shm,
                                AREA_W, AREA_H);
        if (image) {
            shm.shmid =
                shmget(IPC_PRIVATE, (size_t)image->bytes_per_line * AREA_H, IPC_CREAT | 0600);
            shm.shmaddr = image->data = shmat(shm.shmid, NULL, 0);
            shm.readOnly = False;
            XShmAttach(display, &shm);
            XSync(display, False);
            shmctl(shm.shmid, IPC_RMID, NULL);
        }
    }

    /* A new window shows whatever the screen held where it lands until its
     * program draws (SDL leaves the background unset): often the last run's
     * board. A black root wipes that. */
    XSetWindowBackground(display, rootWindow, BlackPixel(display, screen));
    XClearWindow(display, rootWindow);
    XSelectInput(display, rootWindow, SubstructureNotifyMask);
    XSync(display, False);

    double start = Now();
    pid_t child = fork();
    if (child < 0) {
        perror("first_paint: fork");
        return 71;
    }
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[4], argv + 4);
        perror("first_paint: exec");
        _exit(127);
    }

    Window window = 0;
    double lastSearch = start;
    int shown = 0;
    struct timespec pause = {0, 1000000};
    while (Now() - start < timeout) {
        if (waitpid(child, NULL, WNOHANG) == child) {
            fprintf(stderr, "first_paint: %s ended before showing its board\n", argv[4]);
            return 3;
        }
        /* Walking the tree costs a dozen round trips, so it is done only
         * when the top-level windows changed, with a slow poll as a net. */
        if (!window && (XPending(display) || Now() - lastSearch >= 20)) {
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
            }
            window = FindNamed(display, rootWindow, name);
            lastSearch = Now();
        }
        XWindowAttributes attributes;
        if (window && XGetWindowAttributes(display, window, &attributes) &&
            attributes.map_state == IsViewable && attributes.width >= AREA_X + AREA_W &&
            attributes.height >= AREA_Y + AREA_H) {
            /* The root's pixels where the window is: no BadMatch when the
             * window reaches past the screen edge, and what a user sees. */
            int x = 0, y = 0;
            Window ignored;
            XTranslateCoordinates(display, window, rootWindow, AREA_X, AREA_Y, &x, &y, &ignored);
            XImage* got = NULL;
            if (image) {
                if (XShmGetImage(display, rootWindow, image, x, y, AllPlanes)) got = image;
            } else {
                got = XGetImage(display, rootWindow, x, y, AREA_W, AREA_H, AllPlanes, ZPixmap);
            }
            if (got) {
                shown = ShowsBoard(got);
                if (shown && getenv("FIRST_PAINT_DUMP")) DumpPpm(got, getenv("FIRST_PAINT_DUMP"));
                if (got != image) XDestroyImage(got);
            }
            if (shown) break;
        }
        nanosleep(&pause, NULL);
    }
    double elapsed = Now() - start;
    if (!shown) {
        printf("timeout %d\n", (int)child);
        fflush(stdout);
        kill(child, SIGKILL);
        waitpid(child, NULL, 0);
        return 2;
    }
    /* Monotonic clock readings, to line up with timestamps a program prints. */
    if (getenv("FIRST_PAINT_TRACE"))
        fprintf(stderr, "first_paint: exec at %.3f, board seen at %.3f\n", start, start + elapsed);
    printf("%.1f %d\n", elapsed, (int)child);
    fflush(stdout);
    if (image) XShmDetach(display, &shm);
    XCloseDisplay(display);

    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
