// What the score-file tests may change: a hook into the rewrite, between the
// complete temporary file and its taking the place of the score file.
#pragma once

enum ScoreRewriteStep {
    // Carry on as usual.
    SCORE_REWRITE_GO_ON,
    // Stop right there, as a program killed at that moment would.
    SCORE_REWRITE_STOP_AS_IF_KILLED,
    // Carry on as if replacing the score file by the temporary one had failed.
    SCORE_REWRITE_FAIL_REPLACE,
};

// Null in the game.
extern ScoreRewriteStep (*scoreRewriteHook)();
