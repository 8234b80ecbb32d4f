#include "host/lcd_presentation.h"

#include "display/frame_buffer.h"
#include "host/lcd_palette.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <math.h>

void clear_display(void) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void set_display_viewport(double pixel_ratio) {
    if (pixel_ratio == 1.0) {
        glViewport(0, -1, LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT);
        glPointSize(1.0f);
    } else {
        // With d device pixels per window pixel, a point of size d centred on
        // the middle of its d x d square covers it exactly: the viewport is
        // shifted by half a square and spans the projection's 161 x 122 units
        // at d pixels each, which gives the 1:1 image scaled by d.
        const double d = pixel_ratio;
        glViewport((GLint)floor(d / 2), -(GLint)ceil(d * 3 / 2),
                   (GLsizei)lround(LCD_PANEL_WIDTH * d),
                   (GLsizei)lround((LCD_PANEL_HEIGHT + 1) * d));
        glPointSize((GLfloat)d);
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT, -1);
    glMatrixMode(GL_MODELVIEW);
}

void render_frame(void) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glBegin(GL_POINTS);
    for (int y = 0; y < LCD_HEIGHT; y++) {
        for (int x = 0; x < LCD_WIDTH; x++) {
            uint32_t colour = palette_colour(frame_buffer[y * LCD_WIDTH + x]);
            if (colour == 0) continue;
            glColor3ub((GLubyte)(colour >> 16), (GLubyte)(colour >> 8), (GLubyte)colour);
            glVertex2i(x, y);
        }
    }
    glEnd();
}

void present_frame(void) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    render_frame();
    glFlush();
}
