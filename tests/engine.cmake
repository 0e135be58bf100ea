# Test files of the engine area.
