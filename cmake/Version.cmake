# The one place that names Vantor's version: the exe's version resource, the
# command line's --version and the release archive's name all come from here.
set(VANTOR_VERSION 1.0.0.1)
