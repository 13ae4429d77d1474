# The firmware folder's files, by target.
