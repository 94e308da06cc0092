#include "render/scene.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

GLUquadric* quadric = nullptr;

// Placeholder until the scene is drawn: keeps the game's screen black.
void gameDisplay() {
    glutSwapBuffers();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutPostRedisplay();
}
