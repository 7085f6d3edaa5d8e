#pragma once

// Registers the program's built-in resources (logo, web pages) once; the windows that use them
// call it, so they find them in any program that links the window library.
void loadProgramResources();
