/* Asks the window manager to maximize a window, make it full-screen, or take
   either back, as its title bar buttons and keys do: sends the _NET_WM_STATE
   client message to the root window.
   Usage: x_window_state WINDOW-ID add|remove maximized|fullscreen */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
  if (argc != 4 || (strcmp(argv[2], "add") != 0 && strcmp(argv[2], "remove") != 0) ||
      (strcmp(argv[3], "maximized") != 0 && strcmp(argv[3], "fullscreen") != 0)) {
    fprintf(stderr, "usage: x_window_state WINDOW-ID add|remove maximized|fullscreen\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "x_window_state: cannot open the display\n");
    return 1;
  }
  const int maximized = strcmp(argv[3], "maximized") == 0;
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = (Window)strtoul(argv[1], NULL, 0);
  event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = strcmp(argv[2], "add") == 0 ? 1 : 0;
  event.xclient.data.l[1] = (long)XInternAtom(
      display, maximized ? "_NET_WM_STATE_MAXIMIZED_VERT" : "_NET_WM_STATE_FULLSCREEN", False);
  event.xclient.data.l[2] =
      maximized ? (long)XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False) : 0;
  event.xclient.data.l[3] = 1; /* as an application asks */
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return 0;
}
