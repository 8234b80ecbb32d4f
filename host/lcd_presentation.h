// Draws the frame buffer into the current OpenGL context as one point per lit
// pixel. Plain OpenGL and GLU: the window owns the context and the swap.
#pragma once

// Width and height of Panel1, in window pixels.
#define LCD_PANEL_WIDTH 161
#define LCD_PANEL_HEIGHT 121

// Clear colour black with alpha 0, then clears the colour and depth buffers.
void clear_display(void);

// Viewport and projection for Panel1 drawn at `pixel_ratio` device pixels per
// window pixel; leaves the matrix mode at model-view.
void set_display_viewport(double pixel_ratio);

// Clears, loads the identity model-view matrix and draws every pixel whose
// palette entry is not black as a point at its integer (x, y).
void render_frame(void);

// Clears, renders the frame and flushes; the caller swaps the buffers.
void present_frame(void);
