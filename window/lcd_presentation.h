// Draws the frame buffer into the current OpenGL context as one primitive per
// lit pixel. Plain OpenGL and GLU: the window owns the context and the swap.
#pragma once
#include <stdint.h>

// Width and height of Panel1, in window pixels.
#define LCD_PANEL_WIDTH 161
#define LCD_PANEL_HEIGHT 121

// The frame the last buffer swap put on the screen.
extern uint8_t shown_frame[];

// Clear colour black with alpha 0, then clears the colour and depth buffers.
void clear_display(void);

// Viewport and projection for Panel1 drawn at `pixel_ratio` device pixels per
// window pixel into a surface of device_width x device_height device pixels;
// leaves the matrix mode at model-view.
void set_display_viewport(double pixel_ratio, int device_width, int device_height);

// Clears, loads the identity model-view matrix and draws every pixel whose
// palette entry is not black: a point at its integer (x, y) at one device
// pixel per window pixel, else a quad over the device pixels that nearest-
// neighbour scaling gives it, so each LCD pixel is a solid block.
void render_frame(void);

// Clears, renders the frame and flushes; the caller swaps the buffers.
void present_frame(void);

// Keeps a copy of the frame buffer as the frame now on the screen; the power
// loop calls it with each swap.
void remember_shown_frame(void);

// Draws the shown frame straight into the front buffer, so that an uncovered
// panel shows it again without a swap.
void redraw_shown_frame(void);
