# Test files of the editor area.
