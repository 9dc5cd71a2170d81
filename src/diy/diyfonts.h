#pragma once

// Teaches the font engine the two families the drawing editor's text tool asks for, "黑体"
// and "Arial Black", which Linux systems rarely have: fontconfig gets the rules of
// resources/fonts/gyrolume-fonts.conf (a CJK sans for "黑体", a heavy Latin sans for the
// other), and the toolkit's font matching follows what fontconfig resolves them to.
// Call once the application object exists; later calls do nothing. Returns whether the
// rules are in place.
bool registerDiyFontAliases();
