# Cross build for 32-bit Windows: the screen saver, the player control and their tests.
