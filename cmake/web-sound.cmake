# The web page's sound, for the page's build: web/synth.js (the synthesiser on Web Audio) and
# zarv-sounds.bin (the samples the game's effects play, cut by tools/cut-soundfont.py from the
# SoundFonts the desktop plays) beside the page in ZARV_PAGE_DIR. The page must load both before
# the game asks for its MIDI device (index.html); src/platform/web/midi_webaudio.cpp is the
# game's side. Needs Debian's python3 and the fluid-soundfont-gm and fluid-soundfont-gs packages.
set(ZARV_PAGE_DIR ${CMAKE_BINARY_DIR}/page CACHE PATH "Where the page's files go")
set(ZARV_GM_SOUNDFONT /usr/share/sounds/sf2/FluidR3_GM.sf2 CACHE FILEPATH "The General MIDI SoundFont")
set(ZARV_GS_SOUNDFONT /usr/share/sounds/sf2/FluidR3_GS.sf2 CACHE FILEPATH "The GS SoundFont with the drum kit 56")
set(zarv_root "${CMAKE_CURRENT_LIST_DIR}/..")
add_custom_command(
  OUTPUT ${ZARV_PAGE_DIR}/zarv-sounds.bin
  COMMAND /usr/bin/python3 ${zarv_root}/tools/cut-soundfont.py --gm ${ZARV_GM_SOUNDFONT} --gs ${ZARV_GS_SOUNDFONT}
          ${ZARV_PAGE_DIR}/zarv-sounds.bin
  DEPENDS ${zarv_root}/tools/cut-soundfont.py ${ZARV_GM_SOUNDFONT} ${ZARV_GS_SOUNDFONT}
  COMMENT "Cutting the page's sound out of the SoundFonts"
  VERBATIM)
add_custom_command(
  OUTPUT ${ZARV_PAGE_DIR}/synth.js
  COMMAND ${CMAKE_COMMAND} -E copy ${zarv_root}/web/synth.js ${ZARV_PAGE_DIR}/synth.js
  DEPENDS ${zarv_root}/web/synth.js
  VERBATIM)
add_custom_target(zarv_web_sound ALL DEPENDS ${ZARV_PAGE_DIR}/zarv-sounds.bin ${ZARV_PAGE_DIR}/synth.js)
