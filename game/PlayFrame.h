#pragma once

// The play state's idle and display callbacks.
void onIdle();
void onDisplay();
