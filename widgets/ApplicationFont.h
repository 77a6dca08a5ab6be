#pragma once

// Makes a narrow sans-serif face the application's font, so that every caption
// fits its fixed-size button with the style sheets' bold 15 and 16 pixel sizes.
// Where none of the faces is installed, the platform's default font stays.
void useApplicationFont();
