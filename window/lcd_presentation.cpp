#include "window/lcd_presentation.h"

#include "display/frame_buffer.h"
#include "host/shell/lcd_palette.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <string.h>

uint8_t shown_frame[LCD_PIXELS];

// Device pixels per window pixel of the current viewport.
static double display_ratio = 1.0;

void clear_display(void) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void set_display_viewport(double pixel_ratio, int device_width, int device_height) {
    display_ratio = pixel_ratio;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (pixel_ratio == 1.0) {
        glViewport(0, -1, LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT);
        gluOrtho2D(0, LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT, -1);
    } else {
        // One unit is d device pixels, y grows downwards. The origin sits an
        // eighth of a device pixel in from the corner so that no block edge
        // falls on a pixel centre at the usual fractional factors (multiples
        // of 1/4): each device pixel then belongs to exactly one block.
        const double d = pixel_ratio;
        const double e = 0.125 / d;
        glViewport(0, 0, device_width, device_height);
        gluOrtho2D(-e, device_width / d - e, device_height / d - e, -e);
    }
    glMatrixMode(GL_MODELVIEW);
}

// Frame row y is panel row y + 1: the panel's top row and right column stay black.
static void draw_frame(const uint8_t *frame) {
    const bool points = display_ratio == 1.0;
    glBegin(points ? GL_POINTS : GL_QUADS);
    for (int y = 0; y < LCD_HEIGHT; y++) {
        for (int x = 0; x < LCD_WIDTH; x++) {
            uint32_t colour = palette_colour(frame[y * LCD_WIDTH + x]);
            if (colour == 0) continue;
            glColor3ub((GLubyte)(colour >> 16), (GLubyte)(colour >> 8), (GLubyte)colour);
            if (points) {
                glVertex2i(x, y);
            } else {
                glVertex2i(x, y + 1);
                glVertex2i(x + 1, y + 1);
                glVertex2i(x + 1, y + 2);
                glVertex2i(x, y + 2);
            }
        }
    }
    glEnd();
}

void render_frame(void) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    draw_frame(frame_buffer);
}

void present_frame(void) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    render_frame();
    glFlush();
}

void remember_shown_frame(void) {
    memcpy(shown_frame, frame_buffer, sizeof shown_frame);
}

void redraw_shown_frame(void) {
    glDrawBuffer(GL_FRONT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    draw_frame(shown_frame);
    glFlush();
    glDrawBuffer(GL_BACK);
}
