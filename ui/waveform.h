// The live waveform of the main window: the wave area Picture3 inside its frame Picture4,
// redrawn from the decoder's latest block every Timer2 tick, in the colour chosen under
// View > "波形色の変更(&C)" (blue at every start; the choice is not saved).
#pragma once

class App;

// Timer2 tick: vbmp3_getWave, then the picture of that block (see wavePoints), with the
// frame's inner width and the area's height. While the window is hidden or minimized
// nothing can be seen and the tick does nothing; the first tick after it comes back draws
// the latest block.
void Form1_Timer2_Timer(App& app);

// The colour items: the clicked one alone checked, and the next picture in its colour.
void Form1_mBlack_Click(App& app);
void Form1_mRed_Click(App& app);
void Form1_mBlue_Click(App& app);
void Form1_mGreen_Click(App& app);
