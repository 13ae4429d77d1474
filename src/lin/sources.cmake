# The lin folder's files, by target.
