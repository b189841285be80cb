#pragma once

// GLUT input callbacks, installed in every screen state.
void onKeyDown(unsigned char key, int x, int y);
void onKeyUp(unsigned char key, int x, int y);
void onSpecialKey(int key, int x, int y);
void onMouseButton(int button, int state, int x, int y);
void onMouseMove(int x, int y);
