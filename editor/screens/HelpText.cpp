// SPDX-License-Identifier: GPL-3.0-or-later
// The manual's text. Each body line must fit the page at 12 px bold
// (about 55 characters) and each page must end above its prompt; a test
// measures both.

#include "editor/screens/HelpText.h"

namespace ovinta {

namespace helptext {
namespace {

constexpr Line kTitle[] = {
    {kNotice, "Ovinta is a room-simulating reverb."},
    {kNotice, "Draw the plan of a room, place one or two sources and a listener,"},
    {kNotice, "and Ovinta traces rays around the room to build the reverb."},
    {kNotice, "You can edit the room while the music plays: the rays are"},
    {kNotice, "retraced one by one and the sound follows within moments."},
    {kNotice, ""},
    {kNotice, "Every knob, the marker positions and the panner are host parameters."},
    {kNotice, "The host's project keeps all 45 programs with their rooms."},
    {kNotice, ""},
    {kNotice, "Each page explains one part of the window."},
    {kNotice, "Press HELP again at any time to close this help."},
};

constexpr Line kPage1[] = {
    {kHeading, "MAIN PANEL:"},
    {kBody, "The large screen shows one view at a time. Turn on"},
    {kBody, "3D VIEW, EQ VIEW or EXPORT I.R. to choose one; turn"},
    {kBody, "it off again to come back to the edit view."},
    {kHeading, "EDIT VIEW:"},
    {kBody, "The plan of the room on a 50 x 50 m grid. Walls are"},
    {kBody, "drawn with the tools under the screen; the markers"},
    {kBody, "show the sources and the listener."},
    {kHeading, "3D VIEW:"},
    {kBody, "The room in perspective, the walls as high as the"},
    {kBody, "Height knob sets. Left drag turns the view; right"},
    {kBody, "drag pans sideways and zooms up and down."},
    {kHeading, "EQ VIEW:"},
    {kBody, "The curve of the four-band equaliser. Moving an EQ"},
    {kBody, "knob shows it for about a second."},
    {kGap, nullptr, 20},
    {kBody, "This help covers every other display until it closes."},
    {kGap, nullptr, 20},
    {kBody, "The menu under the screen lists the 45 factory rooms"},
    {kBody, "by name: each is a complete program with its walls."},
    {kBody, "The arrows beside it step to the previous or next one."},
};

constexpr Line kPage2[] = {
    {kHeading, "DRAWING THE AREA:"},
    {kBody, "LINE: press and drag to draw one wall."},
    {kBody, "BOX: drag across a rectangle for its four walls."},
    {kBody, "EDIT: drag a wall's end to move it; ends that meet"},
    {kBody, "move together."},
    {kBody, "MIRROR: lines and boxes are also drawn mirrored about"},
    {kBody, "the dashed centre line."},
    {kBody, "Drag with the right button to delete every wall you"},
    {kBody, "cross, whichever tool is on."},
    {kBody, "UNDO takes back the last edit; a box, a mirrored line"},
    {kBody, "or a moved corner comes back in one step."},
    {kBody, "CLEAR removes every wall; UNDO brings them back."},
    {kBody, "A room holds at most 256 walls."},
    {kHeading, "SOURCES & LISTENERS:"},
    {kBody, "Drag a marker with the left button to move it. The"},
    {kBody, "yellow ring is the listener; its arrow shows where the"},
    {kBody, "head points. With STEREO off the purple source plays"},
    {kBody, "both inputs mixed. With STEREO on the red L source"},
    {kBody, "plays the left input and the green R source the right."},
    {kBody, "A marker cannot be dropped onto another one."},
};

constexpr Line kPage3[] = {
    {kHeading, "WALL EFFECT PARAMETERS:"},
    {kBody, "Absorb: how much level a wall takes at each reflection."},
    {kBody, "Hi-cut: how much treble a wall takes at each reflection."},
    {kBody, "Scatter: how far reflections stray from the mirror"},
    {kBody, "angle; more scatter gives a smoother, denser tail. The"},
    {kBody, "first reflections are shown briefly after a change."},
    {kBody, "Height: the room's height in metres; it adds path"},
    {kBody, "length to every reflection."},
    {kHeading, "RAY COUNT:"},
    {kBody, "The number of rays sent from the sources, 16 to 512."},
    {kBody, "More rays give a denser response and cost more CPU."},
    {kBody, "The rays leaving the sources are shown briefly after a"},
    {kBody, "change; the display shows the count in use."},
    {kHeading, "AIR EFFECT:"},
    {kBody, "Absorb: how much level the air takes per metre."},
    {kBody, "Hi-cut: how much treble the air takes per metre."},
    {kBody, "Both make long paths, and so large rooms, quieter"},
    {kBody, "and darker."},
};

constexpr Line kPage4[] = {
    {kHeading, "SIGNAL RETURN:"},
    {kBody, "Pre-delay: moves the whole response earlier or later,"},
    {kBody, "from -500 to +500 ms."},
    {kBody, "Scale: stretches or shrinks the room and every path in"},
    {kBody, "it, from 0.1 to 2 times."},
    {kBody, "Head angle: turns the listener's head a full circle;"},
    {kBody, "the arrow on the plan turns with it."},
    {kHeading, "OUTPUT:"},
    {kBody, "Wet: the level of the reverb."},
    {kBody, "Dry: the level of the input passed straight through."},
    {kBody, "Both displays show the level in dB."},
    {kHeading, "INPUT PINS:"},
    {kBody, "The two small menus left of the output pins choose"},
    {kBody, "the host channel each input is read from. The menus"},
    {kBody, "list the channels the host offers."},
};

constexpr Line kPage5[] = {
    {kHeading, "OUTPUT PINS:"},
    {kBody, "The five small menus choose the host channel of each"},
    {kBody, "output: L, R, Ls, Rs and C, left to right."},
    {kHeading, "STEREO BUTTON:"},
    {kBody, "Off: one source plays both inputs mixed. On: two"},
    {kBody, "sources, one per input, each with its own rays."},
    {kHeading, "REVERSE BUTTON:"},
    {kBody, "Plays the response backwards: the late reflections"},
    {kBody, "come first and swell into the first arrival. The"},
    {kBody, "response display below the screen turns with it."},
    {kHeading, "# OUTPUTS BUTTON:"},
    {kBody, "Feeds 2, 4 or 5 outputs: stereo, quad (L, R, Ls, Rs)"},
    {kBody, "or five channels with a centre (C)."},
    {kHeading, "SURROUND PANNER:"},
    {kBody, "The square shows each output's level as a solid fan"},
    {kBody, "from its speaker's corner, C at the top middle. Drag"},
    {kBody, "the yellow ring to move the reverb around the room;"},
    {kBody, "the striped fans show how loud each output is set."},
};

constexpr Line kPage6[] = {
    {kHeading, "DIFFUSION PANEL:"},
    {kBody, "Before the room the input passes ten comb filters"},
    {kBody, "that blur it into a smooth, dense tail."},
    {kBody, "Gain: how much of the combs is heard."},
    {kBody, "Scale: the length of the combs."},
    {kBody, "St. Width: the stereo width of the reverb, from mono"},
    {kBody, "through unchanged (middle) to extra wide."},
    {kHeading, "DIFFUSION PITCH BEND:"},
    {kBody, "The slider lets the combs' pitch drift; in the middle"},
    {kBody, "it stays put. Away from it the tail gains movement."},
    {kHeading, "EXPORT I.R.:"},
    {kBody, "Saves the room's impulse response for convolution"},
    {kBody, "reverbs, one mono file per output channel. Choose the"},
    {kBody, "sample rate, the format (16-bit WAV, float WAV or"},
    {kBody, "float RAW) and normalising, press SAVE and name the"},
    {kBody, "file. The channel number is added to the name:"},
    {kBody, "room.wav gives room1.wav, room2.wav and so on."},
    {kBody, "Audio pauses while the files are written."},
};

constexpr Line kPage7[] = {
    {kHeading, "PARAMETRIC EQ:"},
    {kBody, "Four bands shape the reverb. Each has Freq (20 Hz to"},
    {kBody, "16 kHz), Gain (cut or boost) and Width. Band 1 is a"},
    {kBody, "low shelf, band 4 a high shelf, bands 2 and 3 are"},
    {kBody, "peaks. Press VIEW to see the curve."},
    {kGap, nullptr, 18},
    {kBody, "In the EQ view drag a band with the left button:"},
    {kBody, "sideways for its frequency, up or down for its gain."},
    {kBody, "Drag with the right button to change its width."},
    {kHeading, "AUTOMATION:"},
    {kBody, "Every knob, the slider, the STEREO and REVERSE"},
    {kBody, "buttons, the positions of the sources and the"},
    {kBody, "listener and the panner are host parameters: the"},
    {kBody, "host can record and play back their moves."},
    {kGap, nullptr, 32},
    {kBody, "The walls are stored with each program and saved in"},
    {kBody, "the host's project."},
};

constexpr std::span<const Line> kPages[kPageCount] = {kTitle, kPage1, kPage2, kPage3,
                                                      kPage4, kPage5, kPage6, kPage7};

} // namespace

std::span<const Line> page(int index)
{
    if (index < 0 || index >= kPageCount)
        return {};
    return kPages[index];
}

} // namespace helptext

} // namespace ovinta
