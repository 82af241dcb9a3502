"""The picture tallomir.exe draws under Wine, at the same pixels as on Linux."""

import unittest

import pictureTest
import wine

Picture = wine.under_wine(pictureTest.Picture)

if __name__ == "__main__":
    unittest.main()
